// Reminders stored in a real database: the yearly re-arming, the due scan and
// its acknowledgements, the next number, the lists and the writer's rules.
#include "Constantes.h"
#include "EcritureRappels.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "TablesRappels.h"

#include <QTest>

using namespace oxi;

class TestDepot : public QObject
{
    Q_OBJECT
    std::unique_ptr<MessagerieScriptee> messages;
    std::unique_ptr<EnvironnementTest> env;

private Q_SLOTS:
    void init()
    {
        messages = std::make_unique<MessagerieScriptee>();
        env = std::make_unique<EnvironnementTest>();
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
    }
    void cleanup()
    {
        RetablitHorloge();
        env.reset();
        messages.reset();
    }

    // Once a year, in the stored rows: notes keep their own year's dates; an unused slot keeps its flag,
    // false included; slots that cannot be read keep their text and their flag beside a re-armed one.
    void rearmementUneFoisParAn()
    {
        FixeMaintenant(QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
        EcritReglage(ReglageAnnee, "2024");
        const Echeances note = Slots(QDate(2024, 3, 1), true, QDate(2024, 2, 1), true, QDate(2024, 1, 1), true);
        const qint64 numNote = Ajoute("N", "Impôts", QDate(2024, 3, 1), note);
        const qint64 fete = Ajoute("F", "Sylvestre", QDate(2024, 12, 31), Slots(DateNulle, false, QDate(2024, 12, 24), true));
        const qint64 anniv = Ajoute("A", "X#Y", QDate(1990, 6, 1), Slots(QDate(2024, 6, 1), true));
        Base().Execute("UPDATE Rappel SET Ech2 = '2025-6-1', Ech3 = '2027-02-30' WHERE NumRappel = ?", {anniv});
        QVERIFY(RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), "2025");
        QCOMPARE(Lit(numNote), note);
        QCOMPARE(Lit(fete), Slots(DateNulle, false, QDate(2025, 12, 24), false));
        const QString sql = "SELECT Ech1 || EtatEch1 || Ech2 || EtatEch2 || Ech3 || EtatEch3 FROM Rappel WHERE NumRappel = ?";
        QCOMPARE(Base().Requete(sql, {anniv}).Valeur(0, 0).toString(), "2025-06-0102025-6-112027-02-301");

        // Without a database the next year waits for one, silently.
        FermeBase();
        FixeMaintenant(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        QVERIFY(!RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), "2025");
        QVERIFY(messages->tous.isEmpty());
    }

    void scanEtAcquittement()
    {
        const QDate auj(2026, 3, 15);
        FixeMaintenant(QDateTime(auj, QTime(10, 0)));
        // Missed on three slots: one entry, and one acknowledgement sets all three.
        const qint64 manque = Ajoute("A", "A#B", QDate(1990, 3, 10),
                                     Slots(QDate(2026, 3, 10), false, QDate(2026, 3, 5), false, QDate(2026, 3, 1), false));
        const qint64 futur = Ajoute("F", "C", QDate(2026, 3, 20), Slots(QDate(2026, 3, 20), false, auj, false, DateNulle, false));
        const qint64 jourMeme = Ajoute("F", "D", auj, Slots(auj, false));
        Ajoute("F", "E", QDate(2026, 4, 1), Slots(QDate(2026, 4, 1), false, QDate(2026, 3, 25), false));

        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(scan.File().Taille(), 3);
        QVERIFY(scan.File().Numero(0) == manque && scan.File().Numero(1) == futur && scan.File().Numero(2) == jourMeme);

        QCOMPARE(scan.Prochain()->rappel.numRappel, manque);
        QCOMPARE(Lit(manque), Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 5), true, QDate(2026, 3, 1), true));
        scan.Prochain();
        // Due through Ech2 today: Ech2 done, Ech1 still to come; the unused slot gets its flag.
        QCOMPARE(Lit(futur), Slots(QDate(2026, 3, 20), false, auj, true));
        QCOMPARE(scan.Prochain()->texte.message, "D");
        QVERIFY(!scan.Prochain());
        QVERIFY(messages->tous.isEmpty());
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
            Base().Execute(
                "INSERT INTO Rappel VALUES (?, '2026-01-01', 'F', 'Aubin', '1800-01-01', 0, '1800-01-01', 1, '1800-01-01', 1)",
                {rappel});
        if (note > 0)
            Base().Execute("INSERT INTO Notes (NumNote, Libelle1) VALUES (?, 'reste')", {note});
        if (attendu == 0) { // numbers are 16-bit: nothing is written beyond
            QVERIFY_THROWS_EXCEPTION(ErreurBase, AjouteFete({"Alain", QDate(2026, 9, 9)}, {}));
            QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel"), 1);
            return;
        }
        QCOMPARE(DepotRappels(Base()).NouveauNumero(), qint64(attendu));
        // And the reminder written under it keeps its own text.
        const qint64 n = AjouteNote({QDate(2026, 12, 24), "Cadeaux", "liste", ChoixEcheances{true, 0, 0}});
        QCOMPARE(n, qint64(attendu));
        QCOMPARE(Compte("SELECT COUNT(*) FROM Notes WHERE NumNote = ?", {n}), 1);
    }

    void tablesDesRangeesStockees()
    {
        Insere("A", "Martin#Paul", QDate(1975, 12, 12));
        Insere("A", "Durand#Zoé", QDate(1850, 3, 12));
        Insere("A", "Léger#Anne#Marie", QDate(1996, 2, 29));
        Insere("A", "#Émile", QDate(2001, 3, 1));
        Tableau t = TableAnniversaires();
        QCOMPARE(Numeros(t), (QList<qint64>{3, 1, 2, 4})); // by first name after a fill
        QCOMPARE(t.lignes.at(0).colonnes.mid(0, 2), (QStringList{"Léger", "Anne#Marie"}));
        // 29 February is 1 March in 2026; equal keys keep the exchange order.
        TrieTableau(t, 4);
        QCOMPARE(Numeros(t), (QList<qint64>{3, 4, 2, 1}));
        QCOMPARE(t.lignes.at(0).Colonne(4), "2026-03-01");

        // Notes sort by day and month: 5 March 2027 before 10 April 2026.
        Insere("N", "Impôts", QDate(2026, 4, 10));
        Insere("N", "Vaccin", QDate(2027, 3, 5));
        const Tableau notes = TableNotes();
        QCOMPARE(Numeros(notes), (QList<qint64>{6, 5}));
        QCOMPARE(notes.lignes.at(0).Colonne(2), "5 mars 2027");
    }

    // The text is cut at 255 characters into two columns and must read back exactly.
    void decoupeDuTexteDesNotes_data()
    {
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QVariantList>("parts");
        const QString t255(255, QLatin1Char('a'));
        const QString coupe = QString(254, QLatin1Char('a')) + QLatin1Char(' ');
        QTest::newRow("255") << t255 << QVariantList{t255, QVariant()};
        QTest::newRow("256") << t255 + QLatin1Char('b') << QVariantList{t255, "b"};
        QTest::newRow("blank") << "   " << QVariantList{QVariant(), QVariant()};
        QTest::newRow("blank kept at the cut") << coupe + "mot" << QVariantList{coupe, "mot"};
    }
    void decoupeDuTexteDesNotes()
    {
        QFETCH(QString, texte);
        QFETCH(QVariantList, parts);
        const qint64 n = AjouteNote(LitNote("t", texte, QDate(2026, 12, 6), {}));
        const Resultat r = Base().Requete("SELECT Libelle1, Libelle2 FROM Notes WHERE NumNote = ?", {n});
        QCOMPARE(QVariantList(r.lignes.at(0).begin(), r.lignes.at(0).end()), parts);
        QCOMPARE(LitRappel(n, TypeRappel::Note)->texte, texte.trimmed());
    }

    void anniversairesSemblablesAutresPersonnes()
    {
        const Anniversaire a{"O'Brien", "Zoé %_*#", AnneeInconnue, 2, 29, {true, 10, 0}};
        QCOMPARE(a.DateRappel(), QDate(1850, 3, 1));
        AjouteAnniversaire(a);
        QCOMPARE(ExisteAnniversaire(a), 1);
        Anniversaire autre = a;
        autre.prenom = "Zoé x_*#";
        QCOMPARE(ExisteAnniversaire(autre), 0);
        QCOMPARE(Compte("SELECT COUNT(*) FROM Rappel WHERE Libelle='O''Brien#Zoé %_*#' AND Ech2='2026-02-19' AND EtatEch1=1"), 1);
    }
};

OXI_TEST_GUILESS_MAIN(TestDepot)
#include "tst_depot.moc"
