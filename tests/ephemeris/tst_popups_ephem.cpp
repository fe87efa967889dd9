#include "Base.h"
#include "Ephemerides.h"
#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauEphem.h"
#include "Reglages.h"
#include "TexteLignes.h"
#include "Twips.h"
#include "frmDictons.h"
#include "frmFetes.h"
#include "frmMois.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

using namespace oxi;

namespace {

void FixeFetes(int mois, int jour, const QString &cellule)
{
    Base().Execute(QStringLiteral("UPDATE Fetes SET mois%1=? WHERE Jour=?").arg(mois), {cellule, jour});
}

void FixeDicton(int mois, int jour, const QString &lib1, const QString &lib2 = {}, const QString &lib3 = {})
{
    Base().Execute(QStringLiteral("UPDATE Dictons SET lib1=?, lib2=?, lib3=?, lib4='' WHERE NumJour=? AND Mois=?"),
                   {lib1, lib2, lib3, jour, QStringLiteral("mois%1").arg(mois)});
}

// Closes the popups and lets their deferred deletions run.
void FermeTout()
{
    FermeEphemerides();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

int Ouvertes()
{
    return (FenetreFetes() ? 1 : 0) + (FenetreDictons() ? 1 : 0) + (FenetreMois() ? 1 : 0);
}

} // namespace

class TestPopupsEphem : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FixeMaintenant(QDateTime(QDate(2026, 11, 6), QTime(10, 0, 0)));
        FixeResolutionLogique(120);
    }
    void cleanup()
    {
        FermeTout();
        FixeResolutionLogique(0);
        RetablitHorloge();
        delete env;
        delete messages;
    }

    void popupDesFetesDateHeureNomsEtDemain()
    {
        FixeFetes(11, 6, QStringLiteral("Léon Théodore"));
        FixeFetes(11, 7, QStringLiteral("Martin"));
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QVERIFY(f && FetesAffiche());
        QCOMPARE(f->lblDate->text(), QStringLiteral("Vendredi 6 novembre"));
        QCOMPARE(f->lblHeure->text(), QStringLiteral("10:00"));
        QCOMPARE(f->lblFet->text(), QStringLiteral("Léon, Théodore"));
        QCOMPARE(f->lblFet->toolTip(), QStringLiteral("DEMAIN: Martin"));

        FixeMaintenant(QDateTime(QDate(2026, 11, 6), QTime(21, 30, 40)));
        MetAJourHeureFetes();
        QCOMPARE(f->lblHeure->text(), QStringLiteral("21:30"));

        // Tomorrow by date arithmetic: New Year's Eve reads 1 January, 28 February 29 February or 1 March.
        FixeFetes(1, 1, QStringLiteral("Marie#Mère Basile"));
        FixeFetes(2, 29, QStringLiteral("Bissextile"));
        FixeFetes(3, 1, QStringLiteral("Mars"));
        const QList<std::pair<QDate, QString>> demains{{QDate(2026, 12, 31), QStringLiteral("DEMAIN: Marie Mère, Basile")},
                                                       {QDate(2028, 2, 28), QStringLiteral("DEMAIN: Bissextile")},
                                                       {QDate(2027, 2, 28), QStringLiteral("DEMAIN: Mars")}};
        for (const auto &[jour, demain] : demains) {
            FermeTout();
            FixeMaintenant(QDateTime(jour, QTime(18, 5)));
            AfficheFetes();
            QCOMPARE(FenetreFetes()->lblFet->toolTip(), demain);
        }
        QCOMPARE(FenetreFetes()->lblDate->text(), QStringLiteral("Dimanche 28 février"));
    }

    void tailleDesFetesSelonLesNoms_data()
    {
        QTest::addColumn<QString>("cellule");
        QTest::addColumn<QString>("noms");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<int>("hauteurNoms");
        QTest::newRow("one name") << QStringLiteral("Martin") << QStringLiteral("Martin") << "Fête à souhaiter" << 440;
        QTest::newRow("45 characters") << QStringLiteral("Abcdefghi Abcdefghij Abcdefghij Abcdefghij")
                                       << QStringLiteral("Abcdefghi, Abcdefghij, Abcdefghij, Abcdefghij") << "Fêtes à souhaiter"
                                       << 660;
        QTest::newRow("two blanks") << QStringLiteral("A  B") << QStringLiteral("A, , B") << "Fêtes à souhaiter" << 440;
        QTest::newRow("empty cell") << QString() << QString() << "Fête à souhaiter" << 220;
    }
    void tailleDesFetesSelonLesNoms()
    {
        QFETCH(QString, cellule);
        QFETCH(int, hauteurNoms);
        FixeFetes(11, 6, cellule);
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QTEST(f->lblFet->text(), "noms");
        QTEST(f->Label1->text(), "titre");
        QCOMPARE(f->lblFet->height(), Px(hauteurNoms));
    }

    void fetesIllisibles()
    {
        // An unreadable cell: the message, and the popup opens all the same.
        FixeMaintenant(QDateTime(QDate(2026, 11, 8), QTime(10, 0)));
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois11=NULL WHERE Jour=8"));
        AfficheFetes();
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Erreur lors du chargement de l'éphéméride.")});
        QVERIFY(FenetreFetes() && FetesAffiche());
    }

    void dictonCoupeA28Caracteres_data()
    {
        QTest::addColumn<QStringList>("cellules");
        QTest::addColumn<QString>("texte");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<double>("shape");
        const QStringList trenteSix{QStringLiteral("Vingt caractères ici"), QStringLiteral("quinze de plus.")};
        const QString coupe = QStringLiteral("Vingt caractères ici quinze \nde plus.");
        QTest::newRow("36 characters") << trenteSix << coupe << "Dicton" << 1240.0;
        QTest::newRow("stops at an empty part")
            << QStringList{"Court.", "", "non lu"} << QStringLiteral("Court.") << "Dicton" << 1020.0;
        QTest::newRow("three parts") << QStringList{"Un", "deux", "trois"} << QStringLiteral("Un deux trois") << "Dictons"
                                     << 1020.0;
        QTest::newRow("no saying today") << QStringList{} << QString() << "Dicton" << 1020.0;
    }
    void dictonCoupeA28Caracteres()
    {
        QFETCH(QStringList, cellules);
        if (cellules.isEmpty())
            Base().Execute(QStringLiteral("DELETE FROM Dictons WHERE NumJour=6 AND Mois='mois11'"));
        else
            FixeDicton(11, 6, cellules.value(0), cellules.value(1), cellules.value(2));
        AfficheDictons();
        frmDictons *d = FenetreDictons();
        QVERIFY(d && DictonsAffiche());
        QTEST(d->lblDict->text(), "texte");
        QTEST(d->Label1->text(), "titre");
        QTEST(d->Shape1->HauteurTwips(), "shape");
        QVERIFY(messages->tous.isEmpty());
    }

    void popupDuMoisEnSixFaits()
    {
        AfficheMois();
        frmMois *m = FenetreMois();
        QVERIFY(m && MoisAffiche());
        QCOMPARE((QStringList{m->lblRepublicain->text(), m->lblAnge->text(), m->lblArbre->text(), m->lblFleur->text(),
                              m->lblAnimal->text(), m->lblPierre->text()}),
                 (QStringList{"Brumaire", "Adnachiel", "Roseau", "Chrysanthème", "Serpent", "Topaze"}));

        // Unreadable or missing rows leave their labels empty, without a message.
        FermeTout();
        Base().Execute(QStringLiteral("UPDATE Mois SET mois11=NULL WHERE rowid=3"));
        Base().Execute(QStringLiteral("DELETE FROM Mois WHERE rowid>4"));
        AfficheMois();
        m = FenetreMois();
        QCOMPARE((QStringList{m->lblArbre->text(), m->lblFleur->text(), m->lblAnimal->text()}),
                 (QStringList{QString(), QStringLiteral("Chrysanthème"), QString()}));
        QVERIFY(messages->tous.isEmpty());
    }

    // Under the nearest loaded popup above (listed nearest first), by its outline; at the top when none is.
    void empilement()
    {
        const PopupAuDessus absent, fetes{true, 1000, 2292}, dictons{true, 3492, 1692}, enCours{false, 3492, 1692};
        QCOMPARE(HautSous({absent, absent}), 1000.0);
        QCOMPARE(HautSous({absent, fetes}), 3492.0);
        QCOMPARE(HautSous({enCours, fetes}), 3492.0);
        QCOMPARE(HautSous({dictons, fetes}), 5384.0);
    }

    void croixFermantLeurPopup()
    {
        AfficheFetes();
        AfficheDictons();
        AfficheMois();
        const double hautMois = FenetreMois()->HautTwips();
        QTest::mouseClick(FenetreDictons()->lblQuit, Qt::LeftButton);
        QVERIFY(!FenetreDictons() && !DictonsAffiche() && FetesAffiche());
        QCOMPARE(FenetreMois()->HautTwips(), hautMois); // the others stay where they are
        // The name days' close label closes the whole column.
        AfficheDictons();
        QTest::mouseClick(FenetreFetes()->lblQuit, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 0);
        QVERIFY(!FetesAffiche() && !DictonsAffiche() && !MoisAffiche());
    }

    void changementDeJourRechargeLesPopups()
    {
        FixeResolutionLogique(96); // the windows shrink; the column still follows the outlines
        FixeFetes(11, 6, QStringLiteral("Léon Théodore"));
        FixeFetes(11, 7, QStringLiteral("Carine Ernest Hervé Herve Ernestine"));
        AfficheFetes();
        AfficheMois();
        // A new window may reuse the old one's address: follow the old one with a guard.
        QPointer<frmFetes> avant = FenetreFetes();
        const double hautMoisAvant = FenetreMois()->HautTwips();

        FixeMaintenant(QDateTime(QDate(2026, 11, 7), QTime(0, 0, 0)));
        RechargeEphemerides();
        frmFetes *apres = FenetreFetes();
        QVERIFY(apres && (avant.isNull() || avant.data() != apres));
        QCOMPARE(apres->lblDate->text(), QStringLiteral("Samedi 7 novembre"));
        QCOMPARE(apres->lblHeure->text(), QStringLiteral("00:00"));
        QCOMPARE(apres->lblFet->text(), QStringLiteral("Carine, Ernest, Hervé, Herve, Ernestine"));
        // A closed popup stays closed; the month popup moves under the new outline.
        QVERIFY(!FenetreDictons() && !DictonsAffiche() && MoisAffiche());
        QCOMPARE(FenetreMois()->HautTwips(), 1000 + apres->Shape1->HauteurTwips() + 200);
        QCOMPARE(FenetreMois()->pos(), QPoint(Px(GaucheEphemeride()), Px(FenetreMois()->HautTwips())));
        QVERIFY(FenetreMois()->HautTwips() != hautMoisAvant);

        AfficheDictons();
        FixeMaintenant(QDateTime(QDate(2026, 12, 1), QTime(0, 0, 0)));
        RechargeEphemerides();
        QCOMPARE(FenetreMois()->lblRepublicain->text(), QStringLiteral("Frimaire"));
        QCOMPARE(Ouvertes(), 3);
        QCOMPARE(FenetreMois()->HautTwips(), FenetreDictons()->HautTwips() + FenetreDictons()->Shape1->HauteurTwips() + 200);
    }

    void casesDuPanneauEtReglages()
    {
        const Reglage reglages[] = {ReglageEphemerides, ReglageFetes, ReglageDictons, ReglageMois};
        {
            QWidget accueil;
            auto *panneau = new PanneauEphem(&accueil);
            accueil.show();
            for (int i = 0; i < 4; ++i) {
                QTest::mouseClick(panneau->chkEph[i], Qt::LeftButton);
                QCOMPARE(LitReglage(reglages[i]), QStringLiteral("1"));
                QTest::mouseClick(panneau->chkEph[i], Qt::LeftButton);
                QCOMPARE(LitReglage(reglages[i]), QStringLiteral("0"));
            }
        }
        // Only an exact "1" ticks a box; loading rewrites nothing.
        const QStringList stockes{QStringLiteral("1 "), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("1")};
        for (int i = 0; i < 4; ++i)
            EcritReglage(reglages[i], stockes.at(i));
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(panneau->chkEph[i]->isChecked(), i % 2 == 1);
            QCOMPARE(LitReglage(reglages[i]), stockes.at(i));
        }
        QVERIFY(panneau->Led->isHidden());
        QCOMPARE(Ouvertes(), 0);
    }

    void basculeOuvrePuisFermeLesPopups()
    {
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        accueil.show();
        // Nothing ticked: nothing opens and the light stays out.
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 0);
        QVERIFY(panneau->Led->isHidden());

        QTest::mouseClick(panneau->chkEph[2], Qt::LeftButton);
        QTest::mouseClick(panneau->chkEph[3], Qt::LeftButton);
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QVERIFY(!panneau->Led->isHidden());
        QVERIFY(!FenetreFetes() && FenetreDictons() && FenetreMois());

        // Any box click puts the light out; then the toggle reopens everything ticked.
        QTest::mouseClick(panneau->chkEph[1], Qt::LeftButton);
        QVERIFY(panneau->Led->isHidden());
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QVERIFY(!panneau->Led->isHidden());
        QCOMPARE(Ouvertes(), 3);
        // Lit: only closes.
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 0);
        QVERIFY(panneau->Led->isHidden());
        QVERIFY(!FetesAffiche() && !DictonsAffiche() && !MoisAffiche());

        // Out with a popup open from elsewhere: reopened fresh, in its place in the column.
        AfficheMois();
        QPointer<frmMois> ancien = FenetreMois();
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 3);
        QVERIFY(ancien.isNull() || ancien.data() != FenetreMois());
        QVERIFY(FenetreMois()->HautTwips() > 1000);
    }

    // "&Paramétrer" reads the boxes, not the settings (the start-up's reading of those is the end-to-end run's).
    void parametrerSuitLesCases()
    {
        EcritReglage(ReglageFetes, QStringLiteral("1"));
        AfficheFetes();
        frmFetes *fetes = FenetreFetes();
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        QTest::mouseClick(panneau->chkEph[3], Qt::LeftButton);
        OuvreEphemeridesCochees();
        QCOMPARE(FenetreFetes(), fetes); // not closed first
        QVERIFY(FenetreMois() && !FenetreDictons());
    }
};

OXI_TEST_MAIN(TestPopupsEphem)
#include "tst_popups_ephem.moc"
