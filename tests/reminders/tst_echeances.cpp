#include "Base.h"
#include "Constantes.h"
#include "Echeances.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"

#include <QTest>

using namespace oxi;

namespace {

const QDate Nulle = DateNulle;

int Ajoute(const QString &type, const QString &libelle, const QDate &dateRappel, const Echeances &e)
{
    Base().Execute(QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, "
                                  "Ech3, EtatEch3) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   QVariantList{TexteDate(dateRappel), type, libelle} + e.Parametres());
    return Base().Requete(QStringLiteral("SELECT max(NumRappel) FROM Rappel")).Valeur(0, 0).toInt();
}

Echeances Slots(QDate d1, bool f1, QDate d2 = Nulle, bool f2 = true, QDate d3 = Nulle, bool f3 = true)
{
    Echeances e;
    e[1] = {d1, f1};
    e[2] = {d2, f2};
    e[3] = {d3, f3};
    return e;
}

Echeances Lit(int numero)
{
    const Resultat r = Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel = ?"), {numero});
    return LitEcheances(r, 0);
}

} // namespace

class TestEcheances : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        RetablitHorloge();
        TabRappels.clear();
    }

    void construitDateDebordeSurLeMoisSuivant()
    {
        QCOMPARE(ConstruitDate(2025, 2, 29), QDate(2025, 3, 1));
        QCOMPARE(ConstruitDate(2024, 2, 29), QDate(2024, 2, 29));
        QCOMPARE(ConstruitDate(2026, 4, 31), QDate(2026, 5, 1));
        QCOMPARE(ConstruitDate(2026, 12, 31), QDate(2026, 12, 31));
        QCOMPARE(JourEvenement(QDate(1972, 2, 29), 2026), QDate(2026, 3, 1));
        QCOMPARE(AnneeSuivante(QDate(2024, 2, 29)), QDate(2025, 3, 1));
        QCOMPARE(AnneeSuivante(AnneeSuivante(QDate(2024, 2, 29))), QDate(2026, 3, 1));
    }

    void echeancesDUnAjout()
    {
        const QDate aujourdhui(2026, 6, 10);
        // Lead times across New Year fall in December of the year before.
        Echeances e = EcheancesAjout(QDate(2026, 1, 3), {true, 7, 31}, aujourdhui);
        QCOMPARE(e, Slots(QDate(2026, 1, 3), true, QDate(2025, 12, 27), true, QDate(2025, 12, 3), true));

        // Today is not past; unused slots are written done.
        e = EcheancesAjout(QDate(2026, 6, 17), {false, 7, 0}, aujourdhui);
        QCOMPARE(e, Slots(Nulle, true, QDate(2026, 6, 10), false, Nulle, true));

        e = EcheancesAjout(QDate(2026, 6, 20), {true, 0, 3}, aujourdhui);
        QCOMPARE(e, Slots(QDate(2026, 6, 20), false, Nulle, true, QDate(2026, 6, 17), false));

        const QVariantList p = e.Parametres();
        QCOMPARE(p, (QVariantList{QStringLiteral("2026-06-20"), 0, QStringLiteral("1800-01-01"), 1,
                                  QStringLiteral("2026-06-17"), 0}));
    }

    void echeancesDUneModification()
    {
        const QDate aujourdhui(2026, 6, 10);
        // Stored: acknowledged event day, lead 7 acknowledged, no second lead.
        const Echeances avant = Slots(QDate(2026, 6, 12), true, QDate(2026, 6, 5), true, Nulle, true);

        // Nothing changed: flags kept, even the one of a date still to come.
        QCOMPARE(EcheancesModification(avant, QDate(2026, 6, 12), {true, 7, 0}, aujourdhui), avant);

        // Event moved later: dates moved to today or later are due again; past ones done.
        Echeances e = EcheancesModification(avant, QDate(2026, 6, 17), {true, 7, 2}, aujourdhui);
        QCOMPARE(e, Slots(QDate(2026, 6, 17), false, QDate(2026, 6, 10), false, QDate(2026, 6, 15), false));

        // A stored flag false on a date moved into the past becomes done.
        const Echeances attente = Slots(QDate(2026, 6, 20), false, QDate(2026, 6, 13), false, Nulle, true);
        e = EcheancesModification(attente, QDate(2026, 6, 8), {true, 7, 0}, aujourdhui);
        QCOMPARE(e, Slots(QDate(2026, 6, 8), true, QDate(2026, 6, 1), true, Nulle, true));

        // Box unticked: the slot becomes unused and done.
        e = EcheancesModification(attente, QDate(2026, 6, 20), {false, 7, 0}, aujourdhui);
        QCOMPARE(e, Slots(Nulle, true, QDate(2026, 6, 13), false, Nulle, true));
    }

    void rearmementUneFoisParAn()
    {
        EnvironnementTest env;
        FixeMaintenant(QDateTime(QDate(2025, 1, 2), QTime(9, 0)));
        EcritReglage(ReglageAnnee, QStringLiteral("2024"));
        const int anniv = Ajoute(QStringLiteral("A"), QStringLiteral("Martin#Léa"), QDate(1980, 2, 29),
                                 Slots(QDate(2024, 2, 29), true, QDate(2024, 2, 22), true, Nulle, true));
        const int fete = Ajoute(QStringLiteral("F"), QStringLiteral("Sylvestre"), QDate(2024, 12, 31),
                                Slots(Nulle, false, QDate(2024, 12, 24), true, QDate(2024, 12, 1), true));
        const int janvier = Ajoute(QStringLiteral("F"), QStringLiteral("Geneviève"), QDate(2024, 1, 3),
                                   Slots(QDate(2024, 1, 3), true, QDate(2023, 12, 27), true, Nulle, true));
        const Echeances note = Slots(QDate(2024, 3, 1), true, QDate(2024, 2, 1), true, QDate(2024, 1, 1), true);
        const int numNote = Ajoute(QStringLiteral("N"), QStringLiteral("Impôts"), QDate(2024, 3, 1), note);

        RearmeEcheances();
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2025"));
        QCOMPARE(Lit(anniv), Slots(QDate(2025, 3, 1), false, QDate(2025, 2, 22), false, Nulle, true));
        // An unused slot keeps its date and its flag, false included.
        QCOMPARE(Lit(fete), Slots(Nulle, false, QDate(2025, 12, 24), false, QDate(2025, 12, 1), false));
        // December lead of a January event: moves to December of this year.
        QCOMPARE(Lit(janvier), Slots(QDate(2025, 1, 3), false, QDate(2024, 12, 27), false, Nulle, true));
        QCOMPARE(Lit(numNote), note);

        // A second start in the same year changes nothing.
        Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = 1 WHERE NumRappel = ?"), {anniv});
        RearmeEcheances();
        QCOMPARE(Lit(anniv), Slots(QDate(2025, 3, 1), true, QDate(2025, 2, 22), false, Nulle, true));

        // Next year: 1 March 2025 goes to 1 March 2026, not back to 29 February.
        FixeMaintenant(QDateTime(QDate(2026, 1, 1), QTime(0, 0, 1)));
        RearmeEcheances();
        QCOMPARE(Lit(anniv), Slots(QDate(2026, 3, 1), false, QDate(2026, 2, 22), false, Nulle, true));
        QCOMPARE(Lit(numNote), note);
    }

    void rearmementPremierDemarrageEtSansBase()
    {
        EnvironnementTest env;
        FixeMaintenant(QDateTime(QDate(2026, 5, 5), QTime(8, 0)));
        const int n = Ajoute(QStringLiteral("A"), QStringLiteral("Durand#Paul"), QDate(1970, 5, 1),
                             Slots(QDate(2026, 5, 1), true, Nulle, true, Nulle, true));
        // No setting yet: runs once, even on dates of this very year.
        RearmeEcheances();
        QCOMPARE(Lit(n), Slots(QDate(2027, 5, 1), false, Nulle, true, Nulle, true));
        QCOMPARE(LitReglage(ReglageAnnee), QStringLiteral("2026"));

        // Without a database the year is stored all the same, and nothing is reported.
        MessagerieScriptee messages;
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
        const QDate aujourdhui(2026, 3, 15);
        Echeances e = Slots(Nulle, true, Nulle, true, Nulle, true);
        e[k] = {decalage == 99999 ? Nulle : aujourdhui.addDays(decalage), fait};
        const int n = Ajoute(QStringLiteral("F"), QStringLiteral("Louise"), aujourdhui, e);
        QCOMPARE(EstDu(e, aujourdhui), du);
        QCOMPARE(RappelsDus(aujourdhui), du ? QVector<int>{n} : QVector<int>{});
    }

    void scanEtAcquittement()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QDate aujourdhui(2026, 3, 15);
        FixeMaintenant(QDateTime(aujourdhui, QTime(10, 0)));
        // Missed on three slots: one entry, one acknowledgement sets all three,
        // and the unused-looking flags of future slots are left alone.
        const int manque = Ajoute(QStringLiteral("A"), QStringLiteral("A#B"), QDate(1990, 3, 10),
                                  Slots(QDate(2026, 3, 10), false, QDate(2026, 3, 5), false, QDate(2026, 3, 1), false));
        const int futur = Ajoute(QStringLiteral("F"), QStringLiteral("C"), QDate(2026, 3, 20),
                                 Slots(QDate(2026, 3, 20), false, QDate(2026, 3, 15), false, Nulle, false));
        const int jourMeme = Ajoute(QStringLiteral("F"), QStringLiteral("D"), aujourdhui,
                                    Slots(aujourdhui, false, Nulle, true, Nulle, true));
        Ajoute(QStringLiteral("F"), QStringLiteral("E"), QDate(2026, 4, 1),
               Slots(QDate(2026, 4, 1), false, QDate(2026, 3, 25), false, Nulle, true));

        QVERIFY(ListeRappelsDus());
        QCOMPARE(TabRappels.size(), 3);
        QCOMPARE(TabRappels[0].numRappel, manque);
        QCOMPARE(TabRappels[1].numRappel, futur);
        QCOMPARE(TabRappels[2].numRappel, jourMeme);
        QCOMPARE(CompteRappelsNonAffiches(), 3);

        const Resultat premier = ChargeRappelSuivant();
        QCOMPARE(premier.Nombre(), 1);
        QCOMPARE(premier.Valeur(0, QStringLiteral("NumRappel")).toInt(), manque);
        QVERIFY(premier.Valeur(0, QStringLiteral("Libelle1")).isNull());

        ValideRappel();
        QCOMPARE(Lit(manque), Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 5), true, QDate(2026, 3, 1), true));
        ValideRappel();
        // Due through Ech2 today: Ech2 done, Ech1 still to come; the unused slot gets its flag.
        QCOMPARE(Lit(futur), Slots(QDate(2026, 3, 20), false, QDate(2026, 3, 15), true, Nulle, true));
        ValideRappel();
        QCOMPARE(CompteRappelsNonAffiches(), 0);
        QCOMPARE(ChargeRappelSuivant().Nombre(), 0);
        QVERIFY(messages.tous.isEmpty());

        // Scanned again the same day: only the event-day reminder comes back.
        QVERIFY(ListeRappelsDus());
        QCOMPARE(TabRappels.size(), 1);
        QCOMPARE(TabRappels[0].numRappel, jourMeme);

        // A scan that finds nothing leaves the table in place.
        FixeMaintenant(QDateTime(QDate(2026, 3, 16), QTime(0, 0, 1)));
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel <> ?"), {jourMeme});
        QVERIFY(!ListeRappelsDus());
        QCOMPARE(TabRappels.size(), 1);
    }

    void echecDeLAcquittement()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        FixeMaintenant(QDateTime(QDate(2026, 3, 15), QTime(10, 0)));
        const int n = Ajoute(QStringLiteral("F"), QStringLiteral("D"), QDate(2026, 3, 15),
                             Slots(QDate(2026, 3, 15), false, Nulle, true, Nulle, true));
        QVERIFY(ListeRappelsDus());
        FermeBase();
        ValideRappel();
        QCOMPARE(messages.infos, QStringList{QStringLiteral("Erreur lors de la mise à jour des données. ")});
        // The popup moves on; the file keeps the reminder due for the next scan.
        QCOMPARE(TabRappels[0].affiche, 1);
        QVERIFY(ConnecteBase());
        QCOMPARE(Lit(n)[1].fait, false);
        QVERIFY_THROWS_EXCEPTION(ErreurBase, [] { FermeBase(); ListeRappelsDus(); }());
    }
};

QTEST_GUILESS_MAIN(TestEcheances)
#include "tst_echeances.moc"
