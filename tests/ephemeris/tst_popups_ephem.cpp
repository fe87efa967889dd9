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
#include <QMouseEvent>
#include <algorithm>
#include <QPointer>
#include <QTest>

using namespace oxi;

namespace {

const QDateTime Vendredi6Novembre(QDate(2026, 11, 6), QTime(10, 0, 0));

void FixeFetes(int mois, int jour, const QString &cellule)
{
    Base().Execute(QStringLiteral("UPDATE Fetes SET mois%1=? WHERE Jour=?").arg(mois), {cellule, jour});
}

void FixeDicton(int mois, int jour, const QString &lib1, const QString &lib2 = {}, const QString &lib3 = {},
                const QString &lib4 = {})
{
    Base().Execute(QStringLiteral("UPDATE Dictons SET lib1=?, lib2=?, lib3=?, lib4=? WHERE NumJour=? AND Mois=?"),
                   {lib1, lib2, lib3, lib4, jour, QStringLiteral("mois%1").arg(mois)});
}

// Let the deferred deletions of closed popups run.
void Vide()
{
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
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FixeMaintenant(Vendredi6Novembre);
        FixeResolutionLogique(120);
    }
    void cleanup()
    {
        FermeEphemerides();
        Vide();
        FixeResolutionLogique(0);
        RetablitHorloge();
        FixeAffichageAccueil({});
        delete env;
        delete messages;
    }

    // --- name days

    void nameDaysPopupShowsDateClockNamesAndTomorrow()
    {
        FixeFetes(11, 6, QStringLiteral("Léon Théodore"));
        FixeFetes(11, 7, QStringLiteral("Martin"));
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QVERIFY(f);
        QVERIFY(FetesAffiche);
        QCOMPARE(f->windowTitle(), QStringLiteral("Oxi - Fêtes"));
        QCOMPARE(f->lblDate->text(), QStringLiteral("Vendredi 6 novembre"));
        QCOMPARE(f->lblHeure->text(), QStringLiteral("10:00"));
        QCOMPARE(f->lblFet->text(), QStringLiteral("Léon, Théodore"));
        QCOMPARE(f->Label1->text(), QStringLiteral("Fêtes à souhaiter"));
        QCOMPARE(NbLignes, 2.0);
        QCOMPARE(f->HauteurNomsTwips(), 440);
        QCOMPARE(f->Shape1->HauteurTwips(), 1780.0);
        QCOMPARE(f->Label1->toolTip(), QStringLiteral("DEMAIN: Martin"));
        QCOMPARE(f->lblFet->toolTip(), QStringLiteral("DEMAIN: Martin"));
        QCOMPARE(f->HautTwips(), 1000.0);
        QCOMPARE(f->pos(), QPoint(Px(GaucheEphemeride()), Px(1000)));
        // At 120 dpi the window keeps the size of its sizing: 3816 wide, h × (1 + 506/1950) high.
        QCOMPARE(f->TailleTwips().width(), 3816.0);
        QVERIFY(qAbs(f->TailleTwips().height() - (1780 / 1950.0 * 506 + 1780)) < 1e-6);

        FixeMaintenant(QDateTime(QDate(2026, 11, 6), QTime(21, 30, 40)));
        MetAJourHeureFetes();
        QCOMPARE(f->lblHeure->text(), QStringLiteral("21:30"));
    }

    void nameDaysSizingFollowsTheNames_data()
    {
        QTest::addColumn<QString>("cellule");
        QTest::addColumn<QString>("noms");
        QTest::addColumn<QString>("titre");
        QTest::addColumn<int>("hauteurNoms");
        QTest::newRow("one name") << "Martin" << "Martin" << "Fête à souhaiter" << 440;
        QTest::newRow("compound") << "Jean#Baptiste" << "Jean Baptiste" << "Fête à souhaiter" << 440;
        QTest::newRow("45 characters") << "Abcdefghi Abcdefghij Abcdefghij Abcdefghij"
                                       << "Abcdefghi, Abcdefghij, Abcdefghij, Abcdefghij" << "Fêtes à souhaiter" << 660;
        QTest::newRow("two blanks") << "A  B" << "A, , B" << "Fêtes à souhaiter" << 440;
        QTest::newRow("trailing blank") << "Luc " << "Luc" << "Fêtes à souhaiter" << 440;
        QTest::newRow("empty cell") << "" << "" << "Fête à souhaiter" << 220;
    }
    void nameDaysSizingFollowsTheNames()
    {
        QFETCH(QString, cellule);
        QFETCH(QString, noms);
        QFETCH(QString, titre);
        QFETCH(int, hauteurNoms);
        FixeFetes(11, 6, cellule);
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QCOMPARE(f->lblFet->text(), noms);
        QCOMPARE(f->Label1->text(), titre);
        QCOMPARE(f->HauteurNomsTwips(), hauteurNoms);
        QCOMPARE(f->lblFet->height(), Px(hauteurNoms));
        QCOMPARE(f->Shape1->HauteurTwips(), double(1200 + hauteurNoms + 140));
    }

    void nameDaysWithoutRowsKeepTitleAndToolTipAsDesigned()
    {
        Base().Execute(QStringLiteral("DELETE FROM Fetes WHERE Jour IN (6, 7)"));
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QCOMPARE(f->lblFet->text(), QString());
        QCOMPARE(f->Label1->text(), QStringLiteral("Fête à souhaiter"));
        QCOMPARE(f->Shape1->HauteurTwips(), 1560.0);
        QCOMPARE(f->lblFet->toolTip(), QString());
        QVERIFY(messages->tous.isEmpty());
    }

    void nameDaysOnNewYearsEveShowJanuaryFirstTomorrow()
    {
        FixeMaintenant(QDateTime(QDate(2026, 12, 31), QTime(18, 5)));
        FixeFetes(1, 1, QStringLiteral("Marie#Mère Basile"));
        AfficheFetes();
        QCOMPARE(FenetreFetes()->lblDate->text(), QStringLiteral("Jeudi 31 décembre"));
        QCOMPARE(FenetreFetes()->lblFet->toolTip(), QStringLiteral("DEMAIN: Marie Mère, Basile"));
    }

    void nameDaysFailureIsReportedAndThePopupStillOpens()
    {
        Base().Execute(QStringLiteral("UPDATE Fetes SET mois11=NULL WHERE Jour=6"));
        AfficheFetes();
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Erreur lors du chargement de l'éphéméride.")});
        QVERIFY(FenetreFetes());
        QVERIFY(FetesAffiche);
        QCOMPARE(FenetreFetes()->Shape1->HauteurTwips(), 2292.0);
    }

    void nameDaysIconShowsTheMainWindow()
    {
        int montre = 0;
        FixeAffichageAccueil([&montre] { ++montre; });
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        f->show();
        QVERIFY(f->imgFetes2->isHidden());
        Q_EMIT f->imgFetes->survol();
        QVERIFY(!f->imgFetes2->isHidden());
        // Moving on the highlighted icon keeps it; moving on the background hides it.
        const QPoint milieu = f->imgFetes2->rect().center();
        QMouseEvent surIcone(QEvent::MouseMove, milieu, f->imgFetes2->mapToGlobal(milieu), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f->imgFetes2, &surIcone);
        QVERIFY(!f->imgFetes2->isHidden());
        const QPoint fond(Px(1500), Px(2000));
        QMouseEvent surFond(QEvent::MouseMove, fond, f->mapToGlobal(fond), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(f, &surFond);
        QVERIFY(f->imgFetes2->isHidden());
        Q_EMIT f->imgFetes->survol();
        QTest::mouseClick(f->imgFetes2, Qt::LeftButton);
        QCOMPARE(montre, 1);
        QVERIFY(f->imgFetes2->isHidden());
    }

    // --- saying and month

    void sayingIsBrokenAt28Characters()
    {
        FixeDicton(11, 6, QStringLiteral("Vingt caractères ici"), QStringLiteral("quinze de plus."));
        AfficheDictons();
        frmDictons *d = FenetreDictons();
        QVERIFY(d);
        QVERIFY(DictonsAffiche);
        QCOMPARE(d->windowTitle(), QStringLiteral("Oxi - Dictons"));
        QCOMPARE(d->Label1->text(), QStringLiteral("Dicton"));
        QCOMPARE(d->lblDict->text(), QStringLiteral("Vingt caractères ici quinze \nde plus."));
        QCOMPARE(d->HauteurDictonTwips(), 440);
        QCOMPARE(d->Shape1->HauteurTwips(), 1240.0);
        QVERIFY(qAbs(d->TailleTwips().height() - 1561.76) < 0.01);
        QCOMPARE(d->HautTwips(), 1000.0);
    }

    void sayingShrinksAt96DotsPerInch()
    {
        FixeResolutionLogique(96);
        FixeDicton(11, 6, QStringLiteral("Vingt caractères ici"), QStringLiteral("quinze de plus."));
        AfficheDictons();
        frmDictons *d = FenetreDictons();
        QCOMPARE(FacteurPolice, 1.25f);
        QCOMPARE(d->Shape1->HauteurTwips(), 1240.0);
        QVERIFY(qAbs(d->TailleTwips().height() - 1561.76 / 1.25) < 0.01);
        QVERIFY(qAbs(d->TailleTwips().width() - 3816 / 1.25) < 0.01);
    }

    void sayingVariants()
    {
        FixeDicton(11, 6, QStringLiteral("Court."), QString(), QStringLiteral("non lu"));
        AfficheDictons();
        QCOMPARE(FenetreDictons()->lblDict->text(), QStringLiteral("Court."));
        QCOMPARE(FenetreDictons()->Label1->text(), QStringLiteral("Dicton"));
        QCOMPARE(FenetreDictons()->Shape1->HauteurTwips(), 1020.0);
        FermeEphemerides();
        Vide();

        FixeDicton(11, 6, QStringLiteral("Un"), QStringLiteral("deux"), QStringLiteral("trois"));
        AfficheDictons();
        QCOMPARE(FenetreDictons()->lblDict->text(), QStringLiteral("Un deux trois"));
        QCOMPARE(FenetreDictons()->Label1->text(), QStringLiteral("Dictons"));
        FermeEphemerides();
        Vide();

        // A word longer than a line is cut and the layout ends.
        FixeDicton(11, 6, QString(40, QLatin1Char('a')));
        AfficheDictons();
        QCOMPARE(FenetreDictons()->lblDict->text(), QString(28, QLatin1Char('a')) + QLatin1Char('\n') + QString(12, QLatin1Char('a')));
        FermeEphemerides();
        Vide();

        // No saying for today: one empty line whatever the counter held before.
        Base().Execute(QStringLiteral("DELETE FROM Dictons WHERE NumJour=6 AND Mois='mois11'"));
        NbLignes = 7;
        AfficheDictons();
        QCOMPARE(FenetreDictons()->lblDict->text(), QString());
        QCOMPARE(FenetreDictons()->Label1->text(), QStringLiteral("Dicton"));
        QCOMPARE(FenetreDictons()->HauteurDictonTwips(), 220);
        QVERIFY(messages->tous.isEmpty());
    }

    void monthPopupShowsSixFacts()
    {
        AfficheMois();
        frmMois *m = FenetreMois();
        QVERIFY(m);
        QVERIFY(MoisAffiche);
        QCOMPARE(m->windowTitle(), QStringLiteral("Oxi - Mois"));
        QCOMPARE(m->lblRepublicain->text(), QStringLiteral("Brumaire"));
        QCOMPARE(m->lblAnge->text(), QStringLiteral("Adnachiel"));
        QCOMPARE(m->lblArbre->text(), QStringLiteral("Roseau"));
        QCOMPARE(m->lblFleur->text(), QStringLiteral("Chrysanthème"));
        QCOMPARE(m->lblAnimal->text(), QStringLiteral("Serpent"));
        QCOMPARE(m->lblPierre->text(), QStringLiteral("Topaze"));
        QCOMPARE(m->findChild<QLabel *>(QStringLiteral("lbl5"))->text(), QStringLiteral("Pierre(s) : "));
        QCOMPARE(m->Shape1->HauteurTwips(), 2052.0);
        QCOMPARE(RayonCoin(2052, 1.0f), 39);
        QCOMPARE(RayonCoin(2052, 1.25f), 31);
    }

    void monthPopupOpensEvenWhenTheTableFails()
    {
        Base().Execute(QStringLiteral("DROP TABLE Mois"));
        AfficheMois();
        QVERIFY(FenetreMois());
        QVERIFY(MoisAffiche);
        QCOMPARE(FenetreMois()->lblPierre->text(), QString());
        QCOMPARE(FenetreMois()->findChild<QLabel *>(QStringLiteral("lbl1"))->text(), QStringLiteral("Ange :"));
        QVERIFY(messages->tous.isEmpty());
    }

    // Every day of a leap year: the shipped texts stay inside their labels.
    void referenceContentFitsItsLabels()
    {
        auto tient = [](const QLabel *label) {
            const QRect besoin = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 100000),
                                                                   int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0),
                                                                   label->text());
            return besoin.width() <= label->width() && besoin.height() <= label->height();
        };
        QStringList coupes;
        for (QDate jour(2028, 1, 1); jour.year() == 2028; jour = jour.addDays(1)) {
            FixeMaintenant(QDateTime(jour, QTime(12, 0)));
            AfficheFetes();
            AfficheDictons();
            if (!tient(FenetreFetes()->lblFet))
                coupes << QStringLiteral("noms ") + jour.toString(Qt::ISODate);
            if (!tient(FenetreDictons()->lblDict))
                coupes << QStringLiteral("dicton ") + jour.toString(Qt::ISODate);
            if (jour.day() == 1) {
                AfficheMois();
                frmMois *m = FenetreMois();
                for (const QLabel *l : {m->lblRepublicain, m->lblAnge, m->lblArbre, m->lblFleur, m->lblAnimal, m->lblPierre})
                    if (!tient(l))
                        coupes << QStringLiteral("mois ") + l->objectName() + QLatin1Char(' ') + jour.toString(Qt::ISODate);
            }
            FermeEphemerides();
            Vide();
        }
        QVERIFY2(coupes.isEmpty(), qPrintable(coupes.join(QStringLiteral(", "))));
    }

    // --- the column

    void everyCombinationStacksUnderTheOutlineAbove_data()
    {
        QTest::addColumn<bool>("fetes");
        QTest::addColumn<bool>("dictons");
        QTest::addColumn<bool>("mois");
        for (int masque = 1; masque < 8; ++masque)
            QTest::newRow(qPrintable(QString::number(masque))) << bool(masque & 1) << bool(masque & 2) << bool(masque & 4);
    }
    void everyCombinationStacksUnderTheOutlineAbove()
    {
        QFETCH(bool, fetes);
        QFETCH(bool, dictons);
        QFETCH(bool, mois);
        FixeResolutionLogique(96); // the window shrinks; the stacking still uses the outline
        if (fetes)
            AfficheFetes();
        if (dictons)
            AfficheDictons();
        if (mois)
            AfficheMois();
        double attendu = 1000;
        for (PopupEphem *p : {static_cast<PopupEphem *>(FenetreFetes()), static_cast<PopupEphem *>(FenetreDictons()),
                              static_cast<PopupEphem *>(FenetreMois())}) {
            if (!p)
                continue;
            QCOMPARE(p->HautTwips(), attendu);
            QCOMPARE(p->y(), Px(attendu));
            QCOMPARE(p->x(), Px(GaucheEphemeride()));
            attendu += p->Shape1->HauteurTwips() + 200;
        }
        QCOMPARE(Ouvertes(), int(fetes) + int(dictons) + int(mois));
    }

    void showingAnOpenPopupDoesNotReloadIt()
    {
        AfficheFetes();
        frmFetes *avant = FenetreFetes();
        FixeFetes(11, 6, QStringLiteral("Autre Nom"));
        AfficheFetes();
        QCOMPARE(FenetreFetes(), avant);
        QVERIFY(avant->lblFet->text() != QStringLiteral("Autre, Nom"));
    }

    void closeLabelsCloseTheirPopups()
    {
        AfficheFetes();
        AfficheDictons();
        AfficheMois();
        const double hautMois = FenetreMois()->HautTwips();
        QTest::mouseClick(FenetreDictons()->lblQuit, Qt::LeftButton);
        QVERIFY(!FenetreDictons());
        QVERIFY(!DictonsAffiche);
        // The others stay where they are.
        QCOMPARE(FenetreMois()->HautTwips(), hautMois);
        QVERIFY(FetesAffiche && MoisAffiche);

        QTest::mouseClick(FenetreMois()->lblQuit, Qt::LeftButton);
        QVERIFY(!FenetreMois());
        QVERIFY(FetesAffiche);

        AfficheDictons();
        AfficheMois();
        QCOMPARE(Ouvertes(), 3);
        QTest::mouseClick(FenetreFetes()->lblQuit, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 0);
        QVERIFY(!FetesAffiche && !DictonsAffiche && !MoisAffiche);
        Vide();
        const QWidgetList fenetres = QApplication::topLevelWidgets();
        QCOMPARE(std::count_if(fenetres.begin(), fenetres.end(), [](QWidget *w) { return w->isVisible(); }), 0);
    }

    void closeLabelTurnsGreyUnderThePointer()
    {
        AfficheDictons();
        EtiquetteQuitter *x = FenetreDictons()->lblQuit;
        QEnterEvent entree(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(x, &entree);
        QCOMPARE(x->palette().color(QPalette::WindowText), QColor(192, 192, 192));
        QEvent sortie(QEvent::Leave);
        QApplication::sendEvent(x, &sortie);
        QCOMPARE(x->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    void changeOfDayReloadsTheOpenPopups()
    {
        FixeFetes(11, 6, QStringLiteral("Léon Théodore"));
        FixeFetes(11, 7, QStringLiteral("Carine Ernest Hervé Herve Ernestine"));
        FixeDicton(11, 7, QStringLiteral("Le sept novembre"));
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
        QVERIFY(!FenetreDictons());
        QVERIFY(FetesAffiche && MoisAffiche && !DictonsAffiche);
        QCOMPARE(FenetreMois()->HautTwips(), 1000 + apres->Shape1->HauteurTwips() + 200);
        QVERIFY(FenetreMois()->HautTwips() != hautMoisAvant);

        AfficheDictons();
        FixeMaintenant(QDateTime(QDate(2026, 12, 1), QTime(0, 0, 0)));
        RechargeEphemerides();
        QCOMPARE(FenetreMois()->lblRepublicain->text(), QStringLiteral("Frimaire"));
        QCOMPARE(Ouvertes(), 3);
        QCOMPARE(FenetreMois()->HautTwips(), FenetreDictons()->HautTwips() + FenetreDictons()->Shape1->HauteurTwips() + 200);
    }

    // --- settings panel and launcher

    void panelBoxesCarryTheirCaptionsAndWriteTheirSettings()
    {
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        accueil.show();
        QCOMPARE(panneau->objectName(), QStringLiteral("fraEphem"));
        QCOMPARE(panneau->lblTitre1->text(), QStringLiteral("Ephémérides"));
        QCOMPARE(panneau->imgVisu->toolTip(), QStringLiteral("Afficher/Masquer"));
        const QStringList libelles{QStringLiteral("Afficher au démarrage de Windows"), QStringLiteral("Afficher les fêtes à souhaiter"),
                                   QStringLiteral("Afficher les dictons"), QStringLiteral("Afficher les renseignements mensuels")};
        const Reglage reglages[] = {ReglageEphemerides, ReglageFetes, ReglageDictons, ReglageMois};
        for (int i = 0; i < 4; ++i) {
            QCheckBox *boite = accueil.findChild<QCheckBox *>(QStringLiteral("chkEph_%1").arg(i));
            QVERIFY(boite);
            QCOMPARE(boite->text(), libelles.at(i));
            QVERIFY(!boite->isChecked());
            QTest::mouseClick(boite, Qt::LeftButton);
            QCOMPARE(LitReglage(reglages[i]), QStringLiteral("1"));
            QTest::mouseClick(boite, Qt::LeftButton);
            QCOMPARE(LitReglage(reglages[i]), QStringLiteral("0"));
        }
        QCOMPARE(Ouvertes(), 0);
    }

    void panelLoadsOnlyExactOnes()
    {
        EcritReglage(ReglageEphemerides, QStringLiteral("1 "));
        EcritReglage(ReglageFetes, QStringLiteral("1"));
        EcritReglage(ReglageDictons, QStringLiteral("2"));
        EcritReglage(ReglageMois, QStringLiteral("1"));
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        QCOMPARE(panneau->chkEph[0]->isChecked(), false);
        QCOMPARE(panneau->chkEph[1]->isChecked(), true);
        QCOMPARE(panneau->chkEph[2]->isChecked(), false);
        QCOMPARE(panneau->chkEph[3]->isChecked(), true);
        // Untouched values stay as they were.
        QCOMPARE(LitReglage(ReglageEphemerides), QStringLiteral("1 "));
        QCOMPARE(LitReglage(ReglageDictons), QStringLiteral("2"));
        QVERIFY(panneau->Led->isHidden());
        QCOMPARE(Ouvertes(), 0);
    }

    void toggleOpensTheTickedPopupsThenClosesThem()
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
        QVERIFY(!FenetreFetes());
        QCOMPARE(FenetreDictons()->HautTwips(), 1000.0);
        QCOMPARE(FenetreMois()->HautTwips(), 1000 + FenetreDictons()->Shape1->HauteurTwips() + 200);

        // Lit: only closes, whatever the boxes say.
        QTest::mouseClick(panneau->chkEph[1], Qt::LeftButton);
        QVERIFY(panneau->Led->isHidden()); // any box click puts it out
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QVERIFY(!panneau->Led->isHidden());
        QCOMPARE(Ouvertes(), 3);
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 0);
        QVERIFY(panneau->Led->isHidden());
        QVERIFY(!FetesAffiche && !DictonsAffiche && !MoisAffiche);

        // Out with popups open from elsewhere: reopened fresh.
        AfficheMois();
        frmMois *ancien = FenetreMois();
        QTest::mouseClick(panneau->imgVisu, Qt::LeftButton);
        QCOMPARE(Ouvertes(), 3);
        QVERIFY(FenetreMois() != ancien);
        QVERIFY(FenetreMois()->HautTwips() > 1000);
    }

    void launcherAndParametrerFollowTheirSources()
    {
        // The launcher reads the settings; "&Paramétrer" reads the boxes.
        EcritReglage(ReglageFetes, QStringLiteral("1"));
        EcritReglage(ReglageMois, QStringLiteral("0"));
        AfficheEphemerides();
        QVERIFY(FenetreFetes() && !FenetreDictons() && !FenetreMois());
        QCOMPARE(FenetreFetes()->HautTwips(), 1000.0);
        frmFetes *fetes = FenetreFetes();
        AfficheEphemerides();
        QCOMPARE(FenetreFetes(), fetes);

        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        QTest::mouseClick(panneau->chkEph[3], Qt::LeftButton);
        OuvreEphemeridesCochees();
        QCOMPARE(FenetreFetes(), fetes); // not closed first
        QVERIFY(FenetreMois());
        QCOMPARE(FenetreMois()->HautTwips(), 1000 + fetes->Shape1->HauteurTwips() + 200);
        QVERIFY(panneau->Led->isHidden());

        FermeEphemerides();
        Vide();
        EcritReglage(ReglageFetes, QString());
        EcritReglage(ReglageMois, QString());
        AfficheEphemerides();
        QCOMPARE(Ouvertes(), 0);
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestPopupsEphem test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_popups_ephem.moc"
