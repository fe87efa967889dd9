#include "Base.h"
#include "OutilsTest.h"
#include "RequetesEphem.h"

#include <QTest>

using namespace oxi;

// The reference tables as the daily popups read them, on a real keyed copy.
class TestRequetesEphem : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tomorrowKeepsALeadingBlankAndRollsOverFebruary()
    {
        EnvironnementTest env;
        QCOMPARE(NettoieNoms(JoinsNomsDuJour(QStringLiteral(" Paul"))), QStringLiteral("Paul"));
        QCOMPARE(NettoieNoms(JoinsNomsDemain(QStringLiteral(" Paul"))), QStringLiteral(", Paul"));
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois2=? WHERE Jour=29"), {QStringLiteral("Bissextile")});
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois3=? WHERE Jour=1"), {QStringLiteral("Mars")});
        QCOMPARE(LitNomsDemain(QDate(2028, 2, 28)).noms, QStringLiteral("Bissextile"));
        QCOMPARE(LitNomsDemain(QDate(2027, 2, 28)).noms, QStringLiteral("Mars"));
    }

    // Unreadable or missing rows leave their places empty; the others keep their order.
    void monthFactsAlwaysComeAsSix()
    {
        MessagerieScriptee messages;
        EnvironnementTest env;
        Base().Execute(QStringLiteral("UPDATE Mois SET mois11=NULL WHERE rowid=3"));
        Base().Execute(QStringLiteral("DELETE FROM Mois WHERE rowid>4"));
        QCOMPARE(LitFaitsDuMois(11), (QStringList{QStringLiteral("Brumaire"), QStringLiteral("Adnachiel"), QString(),
                                                  QStringLiteral("Chrysanthème"), QString(), QString()}));
        Base().Execute(QStringLiteral("DROP TABLE Mois"));
        QCOMPARE(LitFaitsDuMois(11), QStringList(6));
    }
};

QTEST_GUILESS_MAIN(TestRequetesEphem)
#include "tst_requetes_ephem.moc"
