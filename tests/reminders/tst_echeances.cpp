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
    void cleanup() { RetablitHorloge(); }

    void rearmementUneFoisParAn()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        FixeMaintenant(QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
        EcritReglage(ReglageAnnee, QStringLiteral("2024"));
        const qint64 anniv = Ajoute(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1980, 2, 29),
                                    Slots(QDate(2024, 2, 29), true, QDate(2024, 2, 22), true));
        const qint64 fete = Ajoute(QStringLiteral("F"), QStringLiteral("Sylvestre"), QDate(2024, 12, 31),
                                   Slots(DateNulle, false, QDate(2024, 12, 24), true, QDate(2024, 12, 1), true));
        const Echeances note = Slots(QDate(2024, 3, 1), true, QDate(2024, 2, 1), true, QDate(2024, 1, 1), true);
        const qint64 numNote = Ajoute(QStringLiteral("N"), QStringLiteral("Impôts"), QDate(2024, 3, 1), note);
        // Slots that cannot be read keep their text and their flag.
        const qint64 illisible =
            Ajoute(QStringLiteral("A"), QStringLiteral("X#Y"), QDate(1990, 6, 1), Slots(QDate(2024, 6, 1), true));
        Base().Execute(QStringLiteral("UPDATE Rappel SET Ech2 = '2025-6-1', Ech3 = '2027-02-30' WHERE NumRappel = ?"),
                       {illisible});

        QVERIFY(RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2025"));
        QCOMPARE(Lit(anniv), Slots(QDate(2025, 3, 1), false, QDate(2025, 2, 22), false));
        // An unused slot keeps its date and its flag, false included.
        QCOMPARE(Lit(fete), Slots(DateNulle, false, QDate(2025, 12, 24), false, QDate(2025, 12, 1), false));
        QCOMPARE(Lit(numNote), note);
        QCOMPARE(Base()
                     .Requete(QStringLiteral("SELECT Ech1 || EtatEch1 || Ech2 || EtatEch2 || Ech3 || EtatEch3 "
                                             "FROM Rappel WHERE NumRappel = ?"),
                              {illisible})
                     .Valeur(0, 0)
                     .toString(),
                 QStringLiteral("2025-06-0102025-6-112027-02-301"));

        // Without a database the next year waits for one, silently.
        FermeBase();
        FixeMaintenant(QDateTime(QDate(2026, 1, 1), QTime(8, 0)));
        QVERIFY(!RearmeEcheances());
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2025"));
        QVERIFY(messages.tous.isEmpty());
    }

    void scanEtAcquittement()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate auj(2026, 3, 15);
        FixeMaintenant(QDateTime(auj, QTime(10, 0)));
        // Missed on three slots: one entry, and one acknowledgement sets all three.
        const qint64 manque = Ajoute(QStringLiteral("A"), QStringLiteral("A#B"), QDate(1990, 3, 10),
                                     Slots(QDate(2026, 3, 10), false, QDate(2026, 3, 5), false, QDate(2026, 3, 1), false));
        const qint64 futur = Ajoute(QStringLiteral("F"), QStringLiteral("C"), QDate(2026, 3, 20),
                                    Slots(QDate(2026, 3, 20), false, auj, false, DateNulle, false));
        const qint64 jourMeme = Ajoute(QStringLiteral("F"), QStringLiteral("D"), auj, Slots(auj, false));
        Ajoute(QStringLiteral("F"), QStringLiteral("E"), QDate(2026, 4, 1),
               Slots(QDate(2026, 4, 1), false, QDate(2026, 3, 25), false));

        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(scan.File().Taille(), 3);
        QVERIFY(scan.File().Numero(0) == manque && scan.File().Numero(1) == futur && scan.File().Numero(2) == jourMeme);

        QCOMPARE(scan.Prochain()->rappel.numRappel, manque);
        QCOMPARE(Lit(manque), Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 5), true, QDate(2026, 3, 1), true));
        scan.Prochain();
        // Due through Ech2 today: Ech2 done, Ech1 still to come; the unused slot gets its flag.
        QCOMPARE(Lit(futur), Slots(QDate(2026, 3, 20), false, auj, true));
        QCOMPARE(scan.Prochain()->texte.message, QStringLiteral("D"));
        QVERIFY(!scan.Prochain());
        QVERIFY(messages.tous.isEmpty());
    }
};

OXI_TEST_GUILESS_MAIN(TestEcheances)
#include "tst_echeances.moc"
