#include "Base.h"
#include "Constantes.h"
#include "EcritureRappels.h"
#include "Horloge.h"
#include "ListesRappels.h"
#include "OutilsTest.h"

#include <QTest>

using namespace oxi;

namespace {

Tableau TableTexte(const QStringList &cles)
{
    Tableau t{{}, {}};
    int n = 0;
    for (const QString &cle : cles)
        t.lignes.append({{cle}, ++n});
    return t;
}

QList<int> Numeros(const Tableau &t)
{
    QList<int> numeros;
    for (const LigneTableau &l : t.lignes)
        numeros << l.numRappel;
    return numeros;
}

void InsereRappel(int num, const QDate &date, const QString &type, const QString &libelle)
{
    Base().Execute(QStringLiteral("INSERT INTO Rappel (NumRappel, DateRappel, Type, Libelle, Ech1, Ech2, Ech3) "
                                  "VALUES (?, ?, ?, ?, '1800-01-01', '1800-01-01', '1800-01-01')"),
                   {num, TexteDate(date), type, libelle});
}

int Compte(const QString &sql)
{
    return Base().Requete(sql).Valeur(0, 0).toInt();
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

    void exchangeSortKeepsItsOrderOfEqualKeys()
    {
        // B1, B2, A by the first letter: A, B2, B1.
        Tableau t = TableTexte({QStringLiteral("B"), QStringLiteral("B"), QStringLiteral("A")});
        TrieTableau(t, 1);
        QCOMPARE(Numeros(t), (QList<int>{3, 2, 1}));

        // Letter case ignored, character codes otherwise: É after Z.
        t = TableTexte({QStringLiteral("Émile"), QStringLiteral("Zoé"), QStringLiteral("dupont"),
                        QStringLiteral("Dupont"), QStringLiteral("alain")});
        TrieTableau(t, 1);
        QCOMPARE(Numeros(t), (QList<int>{5, 4, 3, 2, 1}));
    }

    void dateColumnsCompareAsDates()
    {
        Tableau t{{}, {1}};
        // As text, 2026-10-01 < 2026-9-... would not matter; ISO text of different years would.
        t.lignes = {{{QStringLiteral("2027-03-05")}, 1}, {{QStringLiteral("2026-04-10")}, 2},
                    {{QStringLiteral("1990-12-31")}, 3}};
        TrieTableau(t, 1);
        QCOMPARE(Numeros(t), (QList<int>{3, 2, 1}));
    }

    void birthdayTableShowsAgeAndSortsThroughTheYear()
    {
        InsereRappel(1, QDate(1975, 12, 12), QStringLiteral("A"), QStringLiteral("Martin#Paul"));
        InsereRappel(2, QDate(1850, 3, 12), QStringLiteral("A"), QStringLiteral("Durand#Zoé"));
        InsereRappel(3, QDate(1996, 2, 29), QStringLiteral("A"), QStringLiteral("Léger#Anne#Marie"));
        InsereRappel(4, QDate(2001, 3, 1), QStringLiteral("A"), QStringLiteral("#Émile"));
        RemplitTabAnniv();
        Tableau &t = TabAnniv();
        // Default sort: first name.
        QCOMPARE(Numeros(t), (QList<int>{3, 1, 2, 4}));
        // Taken apart at the first "#".
        QCOMPARE(t.lignes.at(0).Colonne(1), QStringLiteral("Léger"));
        QCOMPARE(t.lignes.at(0).Colonne(2), QStringLiteral("Anne#Marie"));
        QCOMPARE(TexteAnniversaire(QDate(1975, 12, 12)), QStringLiteral("12 décembre (51 ans)"));
        QCOMPARE(TexteAnniversaire(QDate(1975, 3, 12)), QStringLiteral("12 mars (51 ans)"));
        QCOMPARE(TexteAnniversaire(QDate(1850, 3, 12)), QStringLiteral("12 mars"));

        // By birthday this year: 29 February is 1 March in 2026; equal keys keep the exchange order.
        TrieTableau(t, 4);
        QCOMPARE(Numeros(t), (QList<int>{3, 4, 2, 1}));
        QCOMPARE(t.lignes.at(0).Colonne(4), QStringLiteral("2026-03-01"));
        TrieTableau(t, 1);
        QCOMPARE(t.lignes.first().numRappel, 4); // empty name first
    }

    void nameDayAndNoteTablesUseDayAndMonthOnly()
    {
        InsereRappel(1, QDate(2026, 9, 9), QStringLiteral("F"), QStringLiteral("Alain"));
        InsereRappel(2, QDate(2026, 1, 20), QStringLiteral("F"), QStringLiteral("sébastien"));
        InsereRappel(3, QDate(2027, 3, 5), QStringLiteral("N"), QStringLiteral("Vaccin"));
        InsereRappel(4, QDate(2026, 4, 10), QStringLiteral("N"), QStringLiteral("Impôts"));
        RemplitTabFetes();
        QCOMPARE(TabFetes().lignes.at(0).Colonne(2), QStringLiteral("9 septembre"));
        QCOMPARE(TabFetes().lignes.at(0).Colonne(3), QStringLiteral("2027-09-09"));
        TrieTableau(TabFetes(), 3);
        QCOMPARE(Numeros(TabFetes()), (QList<int>{2, 1}));

        RemplitTabNotes();
        // Default sort by day and month: 5 March 2027 before 10 April 2026.
        QCOMPARE(Numeros(TabNotes()), (QList<int>{3, 4}));
        QCOMPARE(TabNotes().lignes.at(0).Colonne(2), QStringLiteral("5 mars 2027"));

        // An empty kind empties its table.
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE Type='N'"));
        RemplitTabNotes();
        QCOMPARE(TabNotes().Nombre(), 0);
    }

    void leadTimesAreReadAndRecovered()
    {
        QCOMPARE(LitDelaiSaisi(QStringLiteral(" Aucune")), std::optional<int>(0));
        QCOMPARE(LitDelaiSaisi(QStringLiteral("7 jours av")), std::optional<int>(7));
        QCOMPARE(LitDelaiSaisi(QStringLiteral("31 jours av")), std::optional<int>(31));
        QCOMPARE(LitDelaiSaisi(QStringLiteral("5")), std::optional<int>(5));
        QCOMPARE(LitDelaiSaisi(QStringLiteral("Aucune")), std::nullopt);
        QCOMPARE(LitDelaiSaisi(QStringLiteral("xx jours")), std::nullopt);

        // 5 January, 10 days before: 26 December of the previous year, read back as 10.
        const QDate evenement(2026, 1, 5);
        const QDate ech2 = evenement.addDays(-10);
        QCOMPARE(ech2, QDate(2025, 12, 26));
        QCOMPARE(RetrouveDelai(evenement, ech2), 10);
        QCOMPARE(RetrouveDelai(QDate(2027, 1, 3), QDate(2026, 12, 30)), 4);
        QCOMPARE(RetrouveDelai(QDate(1980, 6, 20), QDate(2026, 6, 13)), 7);
        QCOMPARE(RetrouveDelai(QDate(1980, 6, 20), DateNulle), 0);
        // A gap no item explains leaves the last item.
        QCOMPARE(RetrouveDelai(QDate(1980, 6, 20), QDate(2026, 3, 1)), 31);
    }

    void nameDaysOfTheReferenceTable()
    {
        ChargeListeFetes();
        const QVector<PrenomFete> &tab = TabPrenoms();
        QVERIFY(tab.size() > 1000);
        // Day 1 of January first, then day 1 of February.
        QCOMPARE(tab.first().prenom, QStringLiteral("Marie"));
        QCOMPARE(tab.first().mois, 1);
        QCOMPARE(tab.at(1).mois, 2);
        const QStringList items = ItemsFetes();
        QVERIFY(items.contains(QStringLiteral("Alain - 9 septembre")));
        QVERIFY(items.contains(QStringLiteral("Charles le Bon - 2 mars")));
        for (const QString &item : items)
            QVERIFY2(!item.contains(QLatin1Char('#')), qPrintable(item));
        const int alain = int(items.indexOf(QStringLiteral("Alain - 9 septembre")));
        QVERIFY(alain < items.indexOf(QStringLiteral("Charles le Bon - 2 mars")));
        QVERIFY(items.indexOf(QStringLiteral("Élyse - 1 juillet")) < items.indexOf(QStringLiteral("Zoé - 2 mai")));

        const auto fete = LitTexteFete(QStringLiteral("Jean Marie - 9 SEPTEMBRE"), 2026);
        QVERIFY(fete);
        QCOMPARE(fete->prenom, QStringLiteral("Jean Marie"));
        QCOMPARE(fete->dateFete, QDate(2026, 9, 9));
        QVERIFY(!LitTexteFete(QStringLiteral("Alain 9 septembre"), 2026));
        QVERIFY(!LitTexteFete(QStringLiteral("Romain - 29 février"), 2026));
        QCOMPARE(LitTexteFete(QStringLiteral("Romain - 29 février"), 2028)->dateFete, QDate(2028, 2, 29));
        QVERIFY(!LitTexteFete(QStringLiteral("Léa - 31 avril"), 2026));
    }

    void noteTextsSplitAt255()
    {
        const QString t255(255, QLatin1Char('a'));
        QCOMPARE(DecoupeTexte(t255), (QVariantList{t255, QVariant()}));
        const QString t256 = t255 + QLatin1Char('b');
        QCOMPARE(DecoupeTexte(t256), (QVariantList{t255, QStringLiteral("b")}));
        QCOMPARE(DecoupeTexte(QStringLiteral("   ")), (QVariantList{QVariant(), QVariant()}));
        // A blank at the cut is kept: the text reads back whole.
        const QString coupe = QString(254, QLatin1Char('a')) + QStringLiteral(" mot");
        const QVariantList parts = DecoupeTexte(coupe);
        QCOMPARE(parts.at(0).toString() + parts.at(1).toString(), coupe);

        const int num = AjouteNote(LitNote(QString(), t256, QDate(2026, 12, 24), {true, 0, 0}));
        const auto lu = LitRappel(num, QStringLiteral("N"));
        QVERIFY(lu);
        QCOMPARE(lu->libelle, QStringLiteral("Sans titre"));
        QCOMPARE(lu->texte, t256);
        ModifieNote(num, LitNote(QStringLiteral("Court"), QStringLiteral("0123456789"), QDate(2026, 12, 24), {true, 0, 0}));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Notes WHERE Libelle2 IS NULL AND Libelle1='0123456789'")), 1);
        QCOMPARE(LitRappel(num, QStringLiteral("N"))->texte, QStringLiteral("0123456789"));
    }

    void failingWritesLeaveNothingBehind()
    {
        // A refused text row rolls back its reminder row.
        Base().Execute(QStringLiteral("CREATE TRIGGER refus BEFORE INSERT ON Notes BEGIN SELECT RAISE(ABORT, 'refus'); END"));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, AjouteNote(LitNote(QStringLiteral("T"), QStringLiteral("x"),
                                                                 QDate(2026, 12, 24), {true, 0, 0})));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 0);
        Base().Execute(QStringLiteral("DROP TRIGGER refus"));

        // A text row left without its reminder does not block the next number.
        Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1) VALUES (1, 'orpheline')"));
        QCOMPARE(AjouteNote(LitNote(QStringLiteral("T"), QStringLiteral("x"), QDate(2026, 12, 24), {true, 0, 0})), 2);
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        Base().Execute(QStringLiteral("DELETE FROM Notes"));

        // Numbers are 16-bit: the next one beyond 32767 is refused.
        InsereRappel(32767, QDate(2026, 1, 1), QStringLiteral("F"), QStringLiteral("Max"));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, AjouteFete({QStringLiteral("Alain"), QDate(2026, 9, 9)}, {}));
        QCOMPARE(Compte(QStringLiteral("SELECT COUNT(*) FROM Rappel")), 1);

        // A change of a row that is gone is an error, not a silent success.
        QVERIFY_THROWS_EXCEPTION(ErreurBase, ModifieNote(99, LitNote(QStringLiteral("T"), QString(), QDate(2026, 1, 1), {})));
        QVERIFY(!SupprimeRappel(99, QStringLiteral("N")));
        QVERIFY(!SupprimeRappel(32767, QStringLiteral("A")));
        QVERIFY(SupprimeRappel(32767, QStringLiteral("F")));
    }

    void birthdayRowsFollowTheWriterRules()
    {
        Anniversaire a{QStringLiteral("O'Brien"), QStringLiteral("Zoé %_*#"), AnneeInconnue, 2, 29, {true, 10, 0}};
        QCOMPARE(a.DateRappel(), QDate(1850, 3, 1));
        QCOMPARE(a.Evenement(), QDate(2026, 3, 1));
        const int num = AjouteAnniversaire(a);
        QCOMPARE(ExisteAnniversaire(a), 1);
        // A look-alike label is another person.
        Anniversaire autre = a;
        autre.prenom = QStringLiteral("Zoé %_*x");
        QCOMPARE(ExisteAnniversaire(autre), 0);

        const Resultat r = Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel=?"), {num});
        QCOMPARE(r.Valeur(0, QStringLiteral("Libelle")).toString(), QStringLiteral("O'Brien#Zoé %_*#"));
        QCOMPARE(r.Valeur(0, QStringLiteral("Ech1")).toString(), QStringLiteral("2026-03-01"));
        QCOMPARE(r.Valeur(0, QStringLiteral("EtatEch1")).toInt(), 1);
        QCOMPARE(r.Valeur(0, QStringLiteral("Ech2")).toString(), QStringLiteral("2026-02-19"));
        QCOMPARE(r.Valeur(0, QStringLiteral("EtatEch3")).toInt(), 1);

        // Moved to a day still ahead: due again.
        a.mois = 12;
        a.jour = 31; // 31 December 1850
        ModifieAnniversaire(num, a);
        const Resultat m = Base().Requete(QStringLiteral("SELECT * FROM Rappel WHERE NumRappel=?"), {num});
        QCOMPARE(m.Valeur(0, QStringLiteral("Ech1")).toString(), QStringLiteral("2026-12-31"));
        QCOMPARE(m.Valeur(0, QStringLiteral("EtatEch1")).toInt(), 0);
        QCOMPARE(m.Valeur(0, QStringLiteral("Ech2")).toString(), QStringLiteral("2026-12-21"));
        QCOMPARE(m.Valeur(0, QStringLiteral("EtatEch2")).toInt(), 0);
        QVERIFY_THROWS_EXCEPTION(ErreurBase, ModifieAnniversaire(num + 1, a));
    }
};

QTEST_GUILESS_MAIN(TestListes)
#include "tst_listes.moc"
