#include "EcritureRappels.h"
#include "Horloge.h"
#include "OutilsPanneaux.h"
#include "OutilsTest.h"
#include "TablesRappels.h"

#include <QTest>

using namespace oxi;

namespace {

QList<qint64> Numeros(const Tableau &t)
{
    QList<qint64> numeros;
    for (const LigneTableau &l : t.lignes)
        numeros << l.numRappel;
    return numeros;
}

} // namespace

class TestListes : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    }
    void cleanup()
    {
        RetablitHorloge();
        delete env;
        delete messages;
    }

    // The next number passes a leftover note text; 32767 is the last one given.
    void nouveauNumero_data()
    {
        QTest::addColumn<int>("rappel");
        QTest::addColumn<int>("note");
        QTest::addColumn<int>("attendu"); // 0: refused
        QTest::newRow("vide") << 0 << 0 << 1;
        QTest::newRow("texte orphelin") << 5 << 6 << 7;
        QTest::newRow("dernier") << 32766 << 0 << 32767;
        QTest::newRow("au-delà") << 32767 << 0 << 0;
    }
    void nouveauNumero()
    {
        QFETCH(int, rappel);
        QFETCH(int, note);
        QFETCH(int, attendu);
        if (rappel > 0)
            Base().Execute("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, Ech2, EtatEch2, Ech3, EtatEch3) "
                           "VALUES (?, '2026-01-01', 'F', 'Aubin', '1800-01-01', '1800-01-01', 1, '1800-01-01', 1)",
                           {rappel});
        if (note > 0)
            Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'reste')", {note});
        if (attendu == 0) { // numbers are 16-bit: nothing is written beyond
            QVERIFY_THROWS_EXCEPTION(ErreurBase, AjouteFete({QStringLiteral("Alain"), QDate(2026, 9, 9)}, {}));
            QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), 1);
            return;
        }
        QCOMPARE(DepotRappels(Base()).NouveauNumero(), qint64(attendu));
        // And the reminder written under it keeps its own text.
        const qint64 n =
            AjouteNote({QDate(2026, 12, 24), QStringLiteral("Cadeaux"), QStringLiteral("liste"), ChoixEcheances{true, 0, 0}});
        QCOMPARE(n, qint64(attendu));
        QCOMPARE(Compte("SELECT COUNT(*) FROM Notes WHERE NumNote = ?", {n}), 1);
    }

    void triParEchange_data()
    {
        QTest::addColumn<QStringList>("cles");
        QTest::addColumn<bool>("dates");
        QTest::addColumn<QList<qint64>>("ordre");
        QTest::newRow("B1 B2 A gives A B2 B1") << QStringList{"B", "B", "A"} << false << QList<qint64>{3, 2, 1};
        QTest::newRow("case aside, É after Z")
            << QStringList{"Émile", "Zoé", "dupont", "Dupont", "alain"} << false << QList<qint64>{5, 4, 3, 2, 1};
        QTest::newRow("dates as dates") << QStringList{"2027-03-05", "2026-04-10", "1990-12-31"} << true
                                        << QList<qint64>{3, 2, 1};
    }
    void triParEchange()
    {
        QFETCH(QStringList, cles);
        QFETCH(bool, dates);
        Tableau t{{}, dates ? QList<int>{1} : QList<int>{}};
        for (const QString &cle : cles)
            t.lignes.append({{cle}, int(t.lignes.size()) + 1});
        TrieTableau(t, 1);
        QTEST(Numeros(t), "ordre");
    }

    void tablesDesRangeesStockees()
    {
        Insere(QStringLiteral("A"), QStringLiteral("Martin#Paul"), QDate(1975, 12, 12));
        Insere(QStringLiteral("A"), QStringLiteral("Durand#Zoé"), QDate(1850, 3, 12));
        Insere(QStringLiteral("A"), QStringLiteral("Léger#Anne#Marie"), QDate(1996, 2, 29));
        Insere(QStringLiteral("A"), QStringLiteral("#Émile"), QDate(2001, 3, 1));
        Tableau t = TableAnniversaires();
        QCOMPARE(Numeros(t), (QList<qint64>{3, 1, 2, 4})); // by first name after a fill
        QCOMPARE(t.lignes.at(0).Colonne(1), QStringLiteral("Léger"));
        QCOMPARE(t.lignes.at(0).Colonne(2), QStringLiteral("Anne#Marie"));
        QCOMPARE(TexteAnniversaire(QDate(1975, 3, 12)), QStringLiteral("12 mars (51 ans)"));
        QCOMPARE(TexteAnniversaire(QDate(1850, 3, 12)), QStringLiteral("12 mars"));
        // 29 February is 1 March in 2026; equal keys keep the exchange order.
        TrieTableau(t, 4);
        QCOMPARE(Numeros(t), (QList<qint64>{3, 4, 2, 1}));
        QCOMPARE(t.lignes.at(0).Colonne(4), QStringLiteral("2026-03-01"));

        // Notes sort by day and month: 5 March 2027 before 10 April 2026.
        Insere(QStringLiteral("N"), QStringLiteral("Impôts"), QDate(2026, 4, 10));
        Insere(QStringLiteral("N"), QStringLiteral("Vaccin"), QDate(2027, 3, 5));
        const Tableau notes = TableNotes();
        QCOMPARE(Numeros(notes), (QList<qint64>{6, 5}));
        QCOMPARE(notes.lignes.at(0).Colonne(2), QStringLiteral("5 mars 2027"));
    }

    void textesDesFetes_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<int>("annee");
        QTest::addColumn<QDate>("date"); // invalid: refused
        QTest::newRow("compound, upper case") << "Jean Marie - 9 SEPTEMBRE" << 2026 << QDate(2026, 9, 9);
        QTest::newRow("no dash") << "Alain 9 septembre" << 2026 << QDate();
        QTest::newRow("29 February, common year") << "Romain - 29 février" << 2026 << QDate();
        QTest::newRow("29 February, leap year") << "Romain - 29 février" << 2028 << QDate(2028, 2, 29);
        QTest::newRow("31 in a 30-day month") << "Léa - 31 avril" << 2026 << QDate();
    }
    void textesDesFetes()
    {
        QFETCH(QString, texte);
        QFETCH(int, annee);
        QFETCH(QDate, date);
        const std::optional<SaisieFete> fete = LitTexteFete(texte, annee);
        QCOMPARE(fete.has_value(), date.isValid());
        if (fete)
            QCOMPARE(fete->dateFete, date);
    }

    // The text is cut at 255 characters into two columns and must read back exactly.
    void decoupeDuTexteDesNotes_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QVariantList>("parts");
        const QString t255(255, QLatin1Char('a'));
        const QString coupe = QString(254, QLatin1Char('a')) + QLatin1Char(' ');
        QTest::newRow("255") << t255 << QVariantList{t255, QVariant()};
        QTest::newRow("256") << t255 + QLatin1Char('b') << QVariantList{t255, QStringLiteral("b")};
        QTest::newRow("blank") << "   " << QVariantList{QVariant(), QVariant()};
        QTest::newRow("blank kept at the cut") << coupe + QStringLiteral("mot") << QVariantList{coupe, QStringLiteral("mot")};
    }
    void decoupeDuTexteDesNotes()
    {
        QFETCH(QString, texte);
        QFETCH(QVariantList, parts);
        const qint64 n = AjouteNote(LitNote(QStringLiteral("t"), texte, QDate(2026, 12, 6), {}));
        const Resultat r = Base().Requete(QStringLiteral("SELECT Libelle1, Libelle2 FROM Notes WHERE NumNote = ?"), {n});
        QCOMPARE(QVariantList(r.lignes.at(0).begin(), r.lignes.at(0).end()), parts);
        QCOMPARE(LitRappel(n, TypeRappel::Note)->texte, texte.trimmed());
    }

    void anniversairesSemblablesAutresPersonnes()
    {
        const Anniversaire a{QStringLiteral("O'Brien"), QStringLiteral("Zoé %_*#"), AnneeInconnue, 2, 29, {true, 10, 0}};
        QCOMPARE(a.DateRappel(), QDate(1850, 3, 1));
        AjouteAnniversaire(a);
        QCOMPARE(ExisteAnniversaire(a), 1);
        Anniversaire autre = a;
        autre.prenom = QStringLiteral("Zoé x_*#");
        QCOMPARE(ExisteAnniversaire(autre), 0);
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle='O''Brien#Zoé %_*#' AND "
                                       "Ech2='2026-02-19' AND EtatEch1=1")),
                 1);
    }
};

OXI_TEST_GUILESS_MAIN(TestListes)
#include "tst_listes.moc"
