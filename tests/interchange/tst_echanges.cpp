#include "Base.h"
#include "Echanges.h"
#include "EcritureRappels.h"
#include "Horloge.h"
#include "OutilsTest.h"

#include <QFile>
#include <QTest>

extern "C" {
#include <libical/ical.h>
}

using namespace oxi;

namespace {

QString Decrit(const FicheContact &f)
{
    static const char *const etats[] = {"anniv", "sans date", "illisible"};
    QString s = QString::fromLatin1(etats[int(f.etat)]);
    if (f.etat == EtatFiche::Anniversaire)
        s += QStringLiteral(" %1|%2 %3-%4-%5").arg(f.nom, f.prenom).arg(f.annee).arg(f.mois).arg(f.jour);
    return s;
}

QByteArray Carte(const QByteArray &version, const QByteArray &lignes)
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + lignes + "END:VCARD\r\n";
}

QByteArray Utf16(const QByteArray &utf8)
{
    const QString texte = QString::fromUtf8(utf8);
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(texte.utf16()), 2 * texte.size());
}

} // namespace

class TestEchanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { FixeMaintenant(QDateTime(QDate(2026, 6, 15), QTime(10, 0))); }
    void cleanup() { RetablitHorloge(); }

    void lectureFiches_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("3.0, CRLF, plié, accents")
            << Carte("3.0", "N:Dupont;H\xC3\xA9l\xC3\xA8ne;;;\r\nFN:H\xC3\xA9l\xC3\xA8ne Dupont\r\nBDAY:1970-\r\n 03-10\r\n")
            << QStringList{"anniv Dupont|Hélène 1970-3-10"};
        QTest::newRow("2.1 imprimable, CHARSET, coupure douce, LF") << QByteArray(
            "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=89tienne;Jo=\ns=C3=A9\n"
            "BDAY:19700310\nEND:VCARD\n"
            "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller;J=FCrgen\nBDAY:1965-12-01\nEND:VCARD\n")
                                                                    << QStringList{"anniv Étienne|José 1970-3-10",
                                                                                   "anniv Müller|Jürgen 1965-12-1"};
        QTest::newRow("4.0, formes de date, échappements, groupe")
            << Carte("4.0", "N:O\\,Neil;Ann\\;a;;;\r\nitem1.BDAY:--0310\r\n")
                + Carte("4.0", "FN:Zo\xC3\xA9 Martin\r\nBDAY;VALUE=date:--03-10\r\n")
                + Carte("4.0", "N:A;B\r\nBDAY:1970-03-10T00:00:00Z\r\n")
                + Carte("3.0", "N:C;D\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-02-29\r\n")
                + Carte("3.0", "N:E;F\r\nBDAY:19960229T000000\r\n")
            << QStringList{"anniv O,Neil|Ann;a 1850-3-10", "anniv Zoé Martin| 1850-3-10", "anniv A|B 1970-3-10",
                           "anniv C|D 1850-2-29", "anniv E|F 1996-2-29"};
        QTest::newRow("fiches cassées ou sans date")
            << Carte("3.0", "N:Sans;Date\r\nEMAIL:a@b.c\r\nBDAY:\r\n") + Carte("3.0", "N:X;Y\r\nBDAY:1970-02-30\r\n")
                + Carte("3.0", "N:X;Y\r\nBDAY:vers 1900\r\n") + Carte("3.0", "BDAY:1970-03-10\r\n")
                + Carte("3.0", "N:X;Y\r\nligne sans deux-points\r\nBDAY:1970-03-10\r\n")
                + Carte("3.0", "N:X;Y\r\nBDAY:2030-01-01\r\n") + "BEGIN:VCARD\r\nN:Fin;Manquante\r\nBDAY:1970-01-01\r\n"
            << QStringList{"sans date", "illisible", "illisible", "illisible", "illisible", "illisible", "illisible"};
        QTest::newRow("marque d'ordre UTF-8, puis UTF-16")
            << "\xEF\xBB\xBF" + Carte("3.0", "N:Zoé;Léa\r\nBDAY:2000-01-02\r\n") << QStringList{"anniv Zoé|Léa 2000-1-2"};
        QTest::newRow("UTF-16") << Utf16(Carte("3.0", "N:Zoé;Léa\r\nBDAY:2000-01-02\r\n"))
                                << QStringList{"anniv Zoé|Léa 2000-1-2"};
        QTest::newRow("pas un carnet d'adresses") << QByteArray("\x89PNG\r\n\x1a\n\0\0") << QStringList{};
    }

    void lectureFiches()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(QStringList, attendu);
        QStringList lues;
        for (const FicheContact &f : LitFichesContacts(contenu))
            lues << Decrit(f);
        QCOMPARE(lues, attendu);
    }

    // Cards become birthdays as the panel writes them; the duplicate rule holds, also
    // inside the file; name days for first names of the calendar; nothing twice.
    void importe()
    {
        EnvironnementTest env;
        AjouteAnniversaire({"Dupont", "Hélène", 1970, 3, 10, {}});
        const QByteArray fichier = Carte("3.0", "N:dupont;hélène\r\nBDAY:1970-03-10\r\n")
            + Carte("3.0", "N:Martin;alain\r\nBDAY:--09-09\r\n") + Carte("3.0", "N:Martin;Alain\r\nBDAY:--0909\r\n")
            + Carte("3.0", "N:Durand;Xyzzy\r\nBDAY:2001-01-05\r\n") + Carte("3.0", "N:Sans;Date\r\n")
            + Carte("3.0", "N:Cassée\r\nBDAY:n'importe\r\n");
        const PlanImport plan = PrepareImport(LitFichesContacts(fichier));
        QCOMPARE(TexteBilan(plan),
                 QStringLiteral("2 anniversaires ajoutés, 2 déjà présents, "
                                "1 contact sans date de naissance, 1 fiche illisible"));
        QCOMPARE(plan.fetes, QStringList{QStringLiteral("Alain")});

        const ChoixEcheances choix{true, 7, 0};
        QCOMPARE(ImporteContacts(plan, choix, true), 1);
        const QVector<RappelStocke> rappels = LitRappelsEchange();
        QCOMPARE(rappels.size(), 4);
        QCOMPARE(rappels.at(1).libelle, QStringLiteral("Martin#alain"));
        QCOMPARE(rappels.at(1).dateRappel, QDate(1850, 9, 9));
        QCOMPARE(rappels.at(1).echeances, EcheancesAjout(QDate(2026, 9, 9), choix));
        QCOMPARE(rappels.at(2).echeances, EcheancesAjout(QDate(2026, 1, 5), choix)); // past: done
        QCOMPARE(rappels.at(3).type, std::optional(TypeRappel::Fete));
        QCOMPARE(rappels.at(3).libelle, QStringLiteral("Alain"));
        QCOMPARE(rappels.at(3).dateRappel, QDate(2026, 9, 9));

        const PlanImport encore = PrepareImport(LitFichesContacts(fichier));
        QCOMPARE(encore.aAjouter.size(), 0);
        QCOMPARE(encore.dejaPresents, 4);
        QVERIFY(encore.fetes.isEmpty());
    }

    // A failure part-way leaves the database as it was.
    void importeToutOuRien()
    {
        EnvironnementTest env;
        const PlanImport plan = PrepareImport(
            LitFichesContacts(Carte("3.0", "N:Un;A\r\nBDAY:1980-01-01\r\n") + Carte("3.0", "N:Deux;B\r\nBDAY:1980-01-02\r\n")));
        QCOMPARE(plan.aAjouter.size(), 2);
        // The numbers run out at the second card.
        Base().Execute(QStringLiteral("INSERT INTO Rappel VALUES (32766, '2026-01-01', 'N', 'x', '1800-01-01', 1, "
                                      "'1800-01-01', 1, '1800-01-01', 1)"));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, ImporteContacts(plan, {}, false));
        QCOMPARE(LitRappelsEchange().size(), 1);
    }

    // The file read back by libical holds one sound event per stored reminder, equal to it.
    void exporte()
    {
        EnvironnementTest env;
        AjouteAnniversaire({"Martin", "Léa", 1996, 2, 29, {true, 3, 31}});
        AjouteFete(SaisieFete{QStringLiteral("Alain"), QDate(2026, 9, 9)}, {false, 1, 0});
        AjouteNote(LitNote(QStringLiteral("Impôts"), QString(300, QLatin1Char('x')) + QStringLiteral(", fin\n"),
                           QDate(2026, 5, 10), {true, 0, 0}));
        const QString chemin = env.Dossier() + QStringLiteral("/oxi.ics");
        QString erreur;
        QCOMPARE(ExporteAgenda(chemin, &erreur), 3);

        QFile f(chemin);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const ComposantIcal agenda(icalparser_parse_string(f.readAll().constData()));
        QVERIFY(agenda);
        QCOMPARE(icalcomponent_count_errors(agenda.get()), 0);
        const QVector<RappelStocke> base = LitRappelsEchange();
        QCOMPARE(icalcomponent_count_components(agenda.get(), ICAL_VEVENT_COMPONENT), int(base.size()));
        int i = 0;
        for (icalcomponent *e = icalcomponent_get_first_component(agenda.get(), ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(agenda.get(), ICAL_VEVENT_COMPONENT), ++i) {
            auto lu = LitEvenement(e);
            QVERIFY(lu);
            lu->numRappel = *NumeroUid(QString::fromUtf8(icalcomponent_get_uid(e)));
            QCOMPARE(*lu, base.at(i));
        }

        // A folder that cannot take the file: a French reason, and the file already there stays.
        QCOMPARE(ExporteAgenda(env.Dossier() + QStringLiteral("/absent/oxi.ics"), &erreur), -1);
        QVERIFY(erreur.startsWith(QStringLiteral("Impossible d'écrire le fichier")));
    }
};

QTEST_GUILESS_MAIN(TestEchanges)
#include "tst_echanges.moc"
