#include "Base.h"
#include "OutilsTest.h"
#include "RequetesEphem.h"

#include <QTest>

using namespace oxi;

// The reference tables as the daily popups read them, on a real keyed copy.
class TestRequetesEphem : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
    }
    void cleanup()
    {
        delete env;
        delete messages;
    }

    void dateIsWrittenWithCapitalWeekdayAndPlainDay()
    {
        QCOMPARE(LibelleDate(QDate(2025, 11, 6)), QStringLiteral("Jeudi 6 novembre"));
        QCOMPARE(LibelleDate(QDate(2026, 2, 1)), QStringLiteral("Dimanche 1 février"));
        QCOMPARE(LibelleDate(QDate(2026, 8, 15)), QStringLiteral("Samedi 15 août"));
        QCOMPARE(LibelleDate(QDate(2026, 12, 31)), QStringLiteral("Jeudi 31 décembre"));
    }

    void namesAreJoinedOpenedAndCleaned()
    {
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral("Léon Théodore"))), QStringLiteral("Léon, Théodore"));
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral("Jean#Baptiste"))), QStringLiteral("Jean Baptiste"));
        // Two blanks in a row: an empty name between two separators.
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral("A  B"))), QStringLiteral("A, , B"));
        // A trailing blank leaves a dangling comma, which goes.
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral("Luc "))), QStringLiteral("Luc"));
        // Today drops a leading empty part; tomorrow keeps it.
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral(" Paul"))), QStringLiteral("Paul"));
        QCOMPARE(NettoieNoms(JoinsNomsDemain(QStringLiteral(" Paul"))), QStringLiteral(", Paul"));
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QString())), QString());
    }

    void namesOfTheDayAndOfTomorrowComeFromTheirCells()
    {
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois11=? WHERE Jour=6"), {QStringLiteral("Léon Théodore")});
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois11=? WHERE Jour=7"), {QStringLiteral("Martin")});
        const NomsDuJour jour = LitNomsDuJour(QDate(2026, 11, 6));
        QVERIFY(jour.trouve);
        QCOMPARE(jour.noms, QStringLiteral("Léon, Théodore"));
        QCOMPARE(jour.parts, 2);
        QCOMPARE(LitNomsDemain(QDate(2026, 11, 6)).noms, QStringLiteral("Martin"));

        // February rolls over by date arithmetic.
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois2=? WHERE Jour=29"), {QStringLiteral("Bissextile")});
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois3=? WHERE Jour=1"), {QStringLiteral("Mars")});
        QCOMPARE(LitNomsDemain(QDate(2028, 2, 28)).noms, QStringLiteral("Bissextile"));
        QCOMPARE(LitNomsDemain(QDate(2027, 2, 28)).noms, QStringLiteral("Mars"));

        Base().Execute(QStringLiteral("DELETE FROM Fetes WHERE Jour=7"));
        QVERIFY(!LitNomsDemain(QDate(2026, 11, 6)).trouve);
        QCOMPARE(LitNomsDuJour(QDate(2026, 11, 7)).parts, 0);

        Base().Execute(QStringLiteral("UPDATE Fetes SET mois11=NULL WHERE Jour=6"));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, LitNomsDuJour(QDate(2026, 11, 6)));
    }

    void monthFactsKeepTheirStoredOrder()
    {
        const QStringList novembre = LitFaitsDuMois(11);
        QCOMPARE(novembre, (QStringList{QStringLiteral("Brumaire"), QStringLiteral("Adnachiel"), QStringLiteral("Roseau"),
                                        QStringLiteral("Chrysanthème"), QStringLiteral("Serpent"), QStringLiteral("Topaze")}));
        QCOMPARE(LitFaitsDuMois(12).first(), QStringLiteral("Frimaire"));
        QCOMPARE(LitFaitsDuMois(1).first(), QStringLiteral("Nivôse"));

        Base().Execute(QStringLiteral("UPDATE Mois SET mois11=NULL WHERE rowid=3"));
        Base().Execute(QStringLiteral("DELETE FROM Mois WHERE rowid>4"));
        const QStringList court = LitFaitsDuMois(11);
        QCOMPARE(court.size(), 6);
        QCOMPARE(court.at(2), QString());
        QCOMPARE(court.at(3), QStringLiteral("Chrysanthème"));
        QCOMPARE(court.at(4), QString());
        QCOMPARE(court.at(5), QString());

        Base().Execute(QStringLiteral("DROP TABLE Mois"));
        QCOMPARE(LitFaitsDuMois(11), QStringList(6));
    }

    // The shipped tables: names and a saying for every day of a leap year, six facts a month.
    void referenceContentCoversTheWholeYear()
    {
        for (QDate jour(2028, 1, 1); jour.year() == 2028; jour = jour.addDays(1)) {
            const NomsDuJour noms = LitNomsDuJour(jour);
            QVERIFY2(noms.trouve && !noms.noms.isEmpty(), qPrintable(jour.toString(Qt::ISODate)));
            QVERIFY2(!noms.noms.contains(QLatin1Char('#')), qPrintable(jour.toString(Qt::ISODate)));
            const DictonDuJour dicton = LitDicton(jour);
            QVERIFY2(dicton.trouve && !dicton.texte.trimmed().isEmpty(), qPrintable(jour.toString(Qt::ISODate)));
        }
        for (int mois = 1; mois <= 12; ++mois)
            for (const QString &fait : LitFaitsDuMois(mois))
                QVERIFY2(!fait.isEmpty(), qPrintable(QString::number(mois)));
    }
};

QTEST_GUILESS_MAIN(TestRequetesEphem)
#include "tst_requetes_ephem.moc"
