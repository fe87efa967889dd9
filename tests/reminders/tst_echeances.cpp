#include "Constantes.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"

#include <QTest>

using namespace oxi;

class TestEcheances : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        RetablitHorloge();
        TabRappels.clear();
    }

    void rearmementUneFoisParAn()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        FixeMaintenant(QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
        EcritReglage(ReglageAnnee, QStringLiteral("2024"));
        const int anniv = Ajoute(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1980, 2, 29),
                                 Slots(QDate(2024, 2, 29), true, QDate(2024, 2, 22), true));
        const int fete = Ajoute(QStringLiteral("F"), QStringLiteral("Sylvestre"), QDate(2024, 12, 31),
                                Slots(DateNulle, false, QDate(2024, 12, 24), true, QDate(2024, 12, 1), true));
        const int janvier = Ajoute(QStringLiteral("F"), QStringLiteral("Geneviève"), QDate(2024, 1, 3),
                                   Slots(QDate(2024, 1, 3), true, QDate(2023, 12, 27), true));
        const Echeances note = Slots(QDate(2024, 3, 1), true, QDate(2024, 2, 1), true, QDate(2024, 1, 1), true);
        const int numNote = Ajoute(QStringLiteral("N"), QStringLiteral("Impôts"), QDate(2024, 3, 1), note);

        RearmeEcheances();
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2025"));
        QCOMPARE(Lit(anniv), Slots(QDate(2025, 3, 1), false, QDate(2025, 2, 22), false));
        // An unused slot keeps its date and its flag, false included.
        QCOMPARE(Lit(fete), Slots(DateNulle, false, QDate(2025, 12, 24), false, QDate(2025, 12, 1), false));
        QCOMPARE(Lit(janvier), Slots(QDate(2025, 1, 3), false, QDate(2024, 12, 27), false));
        QCOMPARE(Lit(numNote), note);

        // A second start in the same year changes nothing.
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = 1 WHERE NumRappel = ?"), {anniv});
        RearmeEcheances();
        QCOMPARE(Lit(anniv), Slots(QDate(2025, 3, 1), true, QDate(2025, 2, 22), false));

        // Next year: 1 March 2025 goes to 1 March 2026, not back to 29 February.
        FixeMaintenant(QDateTime(QDate(2026, 1, 1), QTime(0, 0, 1)));
        RearmeEcheances();
        QCOMPARE(Lit(anniv), Slots(QDate(2026, 3, 1), false, QDate(2026, 2, 22), false));
        QCOMPARE(Lit(numNote), note);

        // Without a database the year is stored all the same, and nothing is reported.
        FermeBase();
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(8, 0)));
        RearmeEcheances();
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2027"));
        QVERIFY(messages.tous.isEmpty());
    }

    // Every slot state around today, through the SQL query and the C++ rule alike.
    void conditionDEcheance_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("decalage");
        QTest::addColumn<bool>("fait");
        QTest::addColumn<bool>("du");
        for (int k = 1; k <= 3; ++k) {
            const QByteArray s = "Ech" + QByteArray::number(k);
            QTest::newRow(s + " aujourd'hui, à faire") << k << 0 << false << true;
            // Only the event day is listed again after acknowledgement.
            QTest::newRow(s + " aujourd'hui, fait") << k << 0 << true << (k == 1);
            QTest::newRow(s + " manqué, à faire") << k << -1 << false << true;
            QTest::newRow(s + " manqué l'an passé") << k << -400 << false << true;
            QTest::newRow(s + " manqué, fait") << k << -1 << true << false;
            QTest::newRow(s + " demain") << k << 1 << false << false;
            QTest::newRow(s + " inutilisé, à faire") << k << 99999 << false << false;
        }
    }

    void conditionDEcheance()
    {
        QFETCH(int, k);
        QFETCH(int, decalage);
        QFETCH(bool, fait);
        QFETCH(bool, du);
        EnvironnementTest env;
        const QDate auj(2026, 3, 15);
        Echeances e = Slots(DateNulle, true);
        e[k] = {decalage == 99999 ? DateNulle : auj.addDays(decalage), fait};
        const int n = Ajoute(QStringLiteral("F"), QStringLiteral("Louise"), auj, e);
        QCOMPARE(EstDu(e, auj), du);
        QCOMPARE(RappelsDus(auj), du ? QVector<int>{n} : QVector<int>{});
    }

    void scanEtAcquittement()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate auj(2026, 3, 15);
        FixeMaintenant(QDateTime(auj, QTime(10, 0)));
        // Missed on three slots: one entry, and one acknowledgement sets all three.
        const int manque = Ajoute(QStringLiteral("A"), QStringLiteral("A#B"), QDate(1990, 3, 10),
                                  Slots(QDate(2026, 3, 10), false, QDate(2026, 3, 5), false, QDate(2026, 3, 1), false));
        const int futur = Ajoute(QStringLiteral("F"), QStringLiteral("C"), QDate(2026, 3, 20),
                                 Slots(QDate(2026, 3, 20), false, auj, false, DateNulle, false));
        const int jourMeme = Ajoute(QStringLiteral("F"), QStringLiteral("D"), auj, Slots(auj, false));
        Ajoute(QStringLiteral("F"), QStringLiteral("E"), QDate(2026, 4, 1), Slots(QDate(2026, 4, 1), false, QDate(2026, 3, 25), false));

        QVERIFY(ListeRappelsDus());
        QCOMPARE(TabRappels.size(), 3);
        QVERIFY(TabRappels[0].numRappel == manque && TabRappels[1].numRappel == futur && TabRappels[2].numRappel == jourMeme);

        ValideRappel();
        QCOMPARE(Lit(manque), Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 5), true, QDate(2026, 3, 1), true));
        ValideRappel();
        // Due through Ech2 today: Ech2 done, Ech1 still to come; the unused slot gets its flag.
        QCOMPARE(Lit(futur), Slots(QDate(2026, 3, 20), false, auj, true));
        ValideRappel();
        QCOMPARE(CompteRappelsNonAffiches(), 0);
        QVERIFY(messages.tous.isEmpty());
        // A scan that finds nothing leaves the table in place, for a popup still open.
        FixeMaintenant(QDateTime(QDate(2026, 3, 16), QTime(0, 0, 1)));
        QVERIFY(!ListeRappelsDus());
        QCOMPARE(TabRappels.size(), 3);
    }
};

QTEST_GUILESS_MAIN(TestEcheances)
#include "tst_echeances.moc"
