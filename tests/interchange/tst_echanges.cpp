#include "Base.h"
#include "Calendrier.h"
#include "Echanges.h"
#include "EcritureRappels.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rangees.h"

#include <QFile>
#include <QStringEncoder>
#include <QTest>

extern "C" {
#include <libical/ical.h>
}

using namespace oxi;

namespace {

// Type, title, date, then "dd/MM done" per slot ("-" unused).
QString Decrit(const RappelStocke &r)
{
    QStringList lu{r.type ? LettreType(*r.type) : "?", r.libelle, r.dateRappel.toString(Qt::ISODate)};
    for (const Echeance &e : r.echeances.ech)
        lu << (e.date == DateNulle ? "-" : e.date.toString("dd/MM ") + QString::number(e.fait));
    return lu.join(' ');
}

QByteArray Carte(const QByteArray &lignes, const QByteArray &version = "3.0")
{
    return "BEGIN:VCARD\r\nVERSION:" + version + "\r\n" + lignes + "END:VCARD\r\n";
}

} // namespace

class TestEchanges : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { FixeMaintenant(QDateTime(QDate(2026, 6, 15), QTime(10, 0))); }
    void cleanup() { RetablitHorloge(); }

    // type, title, day, the slots ("yyyy-MM-dd done", "-" unused), a note's text, then lines the file must hold
    void allerRetour_data()
    {
        Rangees("c",
                {"anniversaire, deux délais, un fait|A|Dupont#Jean|1970-03-10|2026-03-10 1,2026-03-03 1,2026-02-08 0||"
                 "DTSTART;VALUE=DATE:19700310|RRULE:FREQ=YEARLY|X-OXI-TYPE:A|SUMMARY:Anniversaire de Jean Dupont (1970)|"
                 "TRIGGER:-P7D|TRIGGER:PT0S",
                 "29 février, année connue|A|Martin#Léa|1996-02-29|2026-03-01 0,2026-02-22 0||RRULE:FREQ=YEARLY;BYYEARDAY=60|"
                 "DTSTART;VALUE=DATE:19960229|SUMMARY:Anniversaire de Léa Martin (1996)",
                 "année inconnue, voyelle, délai sur l'an passé|A|Étienne#Anne-Sophie|1850-01-05|-,2025-12-06 1||"
                 "DTSTART;VALUE=DATE:18500105|SUMMARY:Anniversaire d'Anne-Sophie Étienne|TRIGGER:-P30D",
                 "nom seul avec signes|A|O'Neil, \"Bob\"; dit \\ Bobby#|1950-12-31|2026-12-31 0||"
                 "SUMMARY:Anniversaire d'O'Neil\\, \"Bob\"\\; dit \\\\ Bobby (1950)",
                 "retour à la ligne dans un libellé restauré|F|Jean\nMarie|2025-09-09|2026-09-09 0||X-OXI-TYPE:F",
                 "fête, délai seul|F|Jean Marie|2025-09-09|-,-,2026-09-08 0||SUMMARY:Fête des Jean Marie|X-OXI-TYPE:F|"
                 "TRIGGER:-P1D|X-OXI-ECHEANCE:3",
                 "note d'une autre année, texte sur plusieurs lignes|N|Impôts|2027-05-10|2026-05-10 1,2026-04-09 1,2026-05-09 1|"
                 "Déclarer en ligne,\nsans faute; 100 % 😀|DTSTART;VALUE=DATE:20270510|SUMMARY:Impôts|"
                 "DESCRIPTION:Déclarer en ligne\\,\\nsans faute\\; 100 % 😀|ACKNOWLEDGED:20260511T000000Z",
                 "note sans échéance ni texte|N|Sans titre|2026-07-01|-||X-OXI-TYPE:N"});
    }

    // Every field comes back, through the text of the file; the text is what other calendars read.
    void allerRetour()
    {
        QFETCH(QStringList, c);
        RappelStocke rappel{0, QDate::fromString(c[2], Qt::ISODate), TypeDeLettre(c[0]), c[1], {}, c[4]};
        for (int i = 0; i < 3; ++i) {
            const QString s = c[3].split(',').value(i, "-");
            rappel.echeances.ech[i] = {s == "-" ? DateNulle : QDate::fromString(s.left(10), Qt::ISODate), !s.endsWith('0')};
        }
        char *ecrit = icalcomponent_as_ical_string_r(ConvertitRappel(rappel, UidRappel(42)).get());
        const QString texte = QString::fromUtf8(ecrit).remove("\r\n "); // its folded lines joined
        free(ecrit);
        for (const QString &ligne : c.mid(5))
            QVERIFY2(texte.contains(ligne + "\r\n"), qPrintable(ligne + " absent de\n" + texte));
        QCOMPARE(texte.contains("RRULE"), rappel.type != TypeRappel::Note);
        QCOMPARE(texte.count("BEGIN:VALARM"),
                 std::ranges::count_if(rappel.echeances.ech, [](const Echeance &e) { return e.date != DateNulle; }));

        // Parsed back, as another program would read it.
        ComposantIcal relu(icalparser_parse_string(texte.toUtf8().constData()));
        QVERIFY(relu && icalcomponent_count_errors(relu.get()) == 0);
        QCOMPARE(NumeroUid(QString::fromUtf8(icalcomponent_get_uid(relu.get()))), std::optional<qint64>(42));
        QString raison;
        const auto retour = LitEvenement(relu.get(), &raison);
        QVERIFY2(retour, qPrintable(raison));
        QCOMPARE(*retour, rappel);
    }

    // Events written by other programs or changed on a phone: what is read (as Decrit() puts it), or why not.
    // The lines of the event, "[...]" an alarm's own lines; then the reading.
    void evenementsEtrangers_data()
    {
        Rangees(
            "c",
            {"anniversaire renommé sur le téléphone|DTSTART;VALUE=DATE:19700310\nRRULE:FREQ=YEARLY\n"
             "SUMMARY:Anniversaire de Jean-Paul Durand (1970)\nX-OXI-TYPE:A\nX-OXI-LIBELLE:Dupont#Jean\n"
             "[TRIGGER:-PT15M]|A Durand#Jean-Paul 1970-03-10 - 09/03 0 -",
             "rendez-vous d'un autre agenda|DTSTART:20260820T140000Z\nSUMMARY:Dentiste\nDESCRIPTION:Cabinet\n"
             "[TRIGGER:-P2D\nACKNOWLEDGED:20260818T080000Z][TRIGGER:PT9H][TRIGGER:-P40D]"
             "[TRIGGER;VALUE=DATE-TIME:20260801T080000Z][TRIGGER:-P1D\nACKNOWLEDGED:20250819T080000Z]"
             "|N Dentiste 2026-08-20 20/08 0 19/08 0 18/08 1",
             "anniversaire sans année d'un téléphone|DTSTART;VALUE=DATE:16040310\nRRULE:FREQ=YEARLY\nSUMMARY:Léa\n"
             "|A Léa# 1850-03-10 - - -",
             "type inconnu|DTSTART;VALUE=DATE:20260101\nSUMMARY:x\nX-OXI-TYPE:Z\n|type inconnu",
             "sans date|SUMMARY:Réunion\n|pas de date",
             "titre de note trop long|DTSTART;VALUE=DATE:20260101\nSUMMARY:xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n"
             "|dépasse 50",
             "fête sans prénom|DTSTART;VALUE=DATE:20260101\nRRULE:FREQ=YEARLY\nSUMMARY:Fête des \nX-OXI-TYPE:F\n"
             "|pas de titre"});
    }
    void evenementsEtrangers()
    {
        QFETCH(QStringList, c);
        const QString attendu = c[1],
                      texte = "BEGIN:VEVENT\nUID:x@y\nDTSTAMP:20260101T000000Z\n"
            + QString(c[0]).replace('[', "BEGIN:VALARM\nACTION:DISPLAY\n").replace(']', "\nDESCRIPTION:x\nEND:VALARM\n")
            + "END:VEVENT\n";
        ComposantIcal evenement(icalparser_parse_string(texte.toUtf8().constData()));
        QVERIFY(evenement);
        QString pourquoi;
        const auto rappel = LitEvenement(evenement.get(), &pourquoi);
        QCOMPARE(NumeroUid(QString::fromUtf8(icalcomponent_get_uid(evenement.get()))), std::nullopt); // not one of ours
        if (rappel)
            QCOMPARE(Decrit(*rappel), attendu);
        else
            QVERIFY2(pourquoi.contains(attendu), qPrintable(pourquoi));
    }

    void lectureFiches_data()
    {
        QTest::addColumn<QByteArray>("contenu");
        QTest::addColumn<QStringList>("attendu");
        QTest::newRow("3.0, CRLF, plié, accents")
            << Carte("N:Dupont;H\xC3\xA9l\xC3\xA8ne;;;\r\nFN:H\xC3\xA9l\xC3\xA8ne Dupont\r\nBDAY:1970-\r\n 03-10\r\n")
            << QStringList{"anniv Dupont|Hélène 1970-3-10"};
        const QByteArray lf("BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=89tienne;Jo=\ns=C3=A9\n"
                            "BDAY:19700310\nEND:VCARD\nBEGIN:VCARD\nVERSION:2.1\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:M=FCller;"
                            "J=FCrgen\nBDAY:1965-12-01\nEND:VCARD\n");
        QTest::newRow("2.1 imprimable, CHARSET, coupure douce, LF")
            << lf << QStringList{"anniv Étienne|José 1970-3-10", "anniv Müller|Jürgen 1965-12-1"};
        QTest::newRow("4.0, formes de date, échappements, groupe")
            << Carte("N:O\\,Neil;Ann\\;a;;;\r\nitem1.BDAY:--0310\r\n", "4.0")
                + Carte("FN:Zo\xC3\xA9 Martin\r\nBDAY;VALUE=date:--03-10\r\n", "4.0")
                + Carte("N:A;B\r\nBDAY:1970-03-10T00:00:00Z\r\n", "4.0")
                + Carte("N:C;D\r\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-02-29\r\n") + Carte("N:E;F\r\nBDAY:19960229T000000\r\n")
            << QStringList{"anniv O,Neil|Ann;a 1850-3-10", "anniv Zoé Martin| 1850-3-10", "anniv A|B 1970-3-10",
                           "anniv C|D 1850-2-29", "anniv E|F 1996-2-29"};
        QTest::newRow("fiches cassées ou sans date")
            << Carte("N:Sans;Date\r\nEMAIL:a@b.c\r\nBDAY:\r\n") + Carte("N:X;Y\r\nBDAY:1970-02-30\r\n")
                + Carte("N:X;Y\r\nBDAY:vers 1900\r\n") + Carte("BDAY:1970-03-10\r\n")
                + Carte("N:X;Y\r\nligne sans deux-points\r\nBDAY:1970-03-10\r\n") + Carte("N:X;Y\r\nBDAY:2030-01-01\r\n")
                + "BEGIN:VCARD\r\nN:Fin;Manquante\r\nBDAY:1970-01-01\r\n"
            << QStringList{"sans date", "illisible", "illisible", "illisible", "illisible", "illisible", "illisible"};
        const QByteArray zoe = Carte("N:Zoé;Léa\r\nBDAY:2000-01-02\r\n");
        QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
        QTest::newRow("marque d'ordre UTF-8") << "\xEF\xBB\xBF" + zoe << QStringList{"anniv Zoé|Léa 2000-1-2"};
        QTest::newRow("UTF-16") << QByteArray(utf16(QString::fromUtf8(zoe))) << QStringList{"anniv Zoé|Léa 2000-1-2"};
        QTest::newRow("pas un carnet d'adresses") << QByteArray("\x89PNG\r\n\x1a\n\0\0") << QStringList{};
    }

    void lectureFiches()
    {
        QFETCH(QByteArray, contenu);
        QFETCH(QStringList, attendu);
        QStringList lues;
        for (const FicheContact &f : LitFichesContacts(contenu))
            lues << (f.etat == EtatFiche::Anniversaire
                         ? QString("anniv %1|%2 %3-%4-%5").arg(f.nom, f.prenom).arg(f.annee).arg(f.mois).arg(f.jour)
                         : QStringList{"", "sans date", "illisible"}.at(int(f.etat)));
        QCOMPARE(lues, attendu);
    }

    // Cards become birthdays as the panel writes them; the duplicate rule holds, also
    // inside the file; name days for first names of the calendar; nothing twice.
    void importe()
    {
        EnvironnementTest env;
        AjouteAnniversaire({"Dupont", "Hélène", 1970, 3, 10, {}});
        const QByteArray fichier = Carte("N:dupont;hélène\r\nBDAY:1970-03-10\r\n") + Carte("N:Martin;alain\r\nBDAY:--09-09\r\n")
            + Carte("N:Martin;Alain\r\nBDAY:--0909\r\n") + Carte("N:Durand;Xyzzy\r\nBDAY:2001-01-05\r\n")
            + Carte("N:Sans;Date\r\n") + Carte("N:Cassée\r\nBDAY:n'importe\r\n");
        const PlanImport plan = PrepareImport(LitFichesContacts(fichier));
        QCOMPARE(TexteBilan(plan),
                 "2 anniversaires ajoutés, 2 déjà présents, 1 contact sans date de naissance, "
                 "1 fiche illisible");
        QCOMPARE(plan.fetes, QStringList{"Alain"});

        QCOMPARE(ImporteContacts(plan, {true, 7, 0}, true), 1);
        QStringList rappels;
        for (const RappelStocke &r : LitRappelsEchange())
            rappels << Decrit(r);
        QCOMPARE(rappels.mid(1), // the lead times of this year already past are done
                 QStringList({"A Martin#alain 1850-09-09 09/09 0 02/09 0 -", "A Durand#Xyzzy 2001-01-05 05/01 1 29/12 1 -",
                              "F Alain 2026-09-09 09/09 0 02/09 0 -"}));

        const PlanImport encore = PrepareImport(LitFichesContacts(fichier));
        QCOMPARE(TexteBilan(encore),
                 "0 anniversaire ajouté, 4 déjà présents, 1 contact sans date de naissance, 1 fiche illisible");
        QVERIFY(encore.fetes.isEmpty());
    }

    // A failure part-way leaves the database as it was.
    void importeToutOuRien()
    {
        EnvironnementTest env;
        const PlanImport plan =
            PrepareImport(LitFichesContacts(Carte("N:Un;A\r\nBDAY:1980-01-01\r\n") + Carte("N:Deux;B\r\nBDAY:1980-01-02\r\n")));
        QCOMPARE(plan.aAjouter.size(), 2);
        // The numbers run out at the second card.
        Base().Execute("INSERT INTO Rappel VALUES (32766, '2026-01-01', 'N', 'x', '1800-01-01', 1, "
                       "'1800-01-01', 1, '1800-01-01', 1)");
        QVERIFY_THROWS_EXCEPTION(ErreurBase, ImporteContacts(plan, {}, false));
        QCOMPARE(LitRappelsEchange().size(), 1);
    }

    // The file read back by libical holds one sound event per stored reminder, equal to it.
    void exporte()
    {
        EnvironnementTest env;
        AjouteAnniversaire({"Martin", "Léa", 1996, 2, 29, {true, 3, 31}});
        AjouteFete(SaisieFete{"Alain", QDate(2026, 9, 9)}, {false, 1, 0});
        AjouteNote(LitNote("Impôts", QString(300, 'x') + ", fin\n", QDate(2026, 5, 10), {true, 0, 0}));
        const QString chemin = env.Dossier() + "/oxi.ics";
        QString erreur;
        QCOMPARE(ExporteAgenda(chemin, &erreur), 3);

        QFile f(chemin);
        const ComposantIcal agenda(icalparser_parse_string(f.open(QIODevice::ReadOnly) ? f.readAll().constData() : ""));
        QVERIFY(agenda && icalcomponent_count_errors(agenda.get()) == 0);
        QVector<RappelStocke> lus;
        for (icalcomponent *e = icalcomponent_get_first_component(agenda.get(), ICAL_VEVENT_COMPONENT); e;
             e = icalcomponent_get_next_component(agenda.get(), ICAL_VEVENT_COMPONENT)) {
            lus << LitEvenement(e).value_or(RappelStocke{});
            lus.last().numRappel = NumeroUid(QString::fromUtf8(icalcomponent_get_uid(e))).value_or(-1);
        }
        QCOMPARE(lus, LitRappelsEchange());

        // A folder that cannot take the file: a French reason.
        QCOMPARE(ExporteAgenda(env.Dossier() + "/absent/oxi.ics", &erreur), -1);
        QVERIFY(erreur.startsWith("Impossible d'écrire le fichier"));
    }
};

OXI_TEST_GUILESS_MAIN(TestEchanges)
#include "tst_echanges.moc"
