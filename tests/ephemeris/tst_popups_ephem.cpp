#include "Base.h"
#include "Ephemerides.h"
#include "FormePopup.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauEphem.h"
#include "Rangees.h"
#include "Reglages.h"
#include "Twips.h"
#include "frmDictons.h"
#include "frmFetes.h"
#include "frmMois.h"

#include <QApplication>
#include <QTest>

using namespace oxi;

namespace {

void FixeFetes(const QDate &jour, const QString &cellule)
{
    Base().Execute(QStringLiteral("UPDATE Fetes SET mois%1=? WHERE Jour=?").arg(jour.month()), {cellule, jour.day()});
}

// Closes the popups and lets their deferred deletions run.
void FermeTout()
{
    FermeEphemerides();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Name days, saying, month: their letter when open and loaded, "?" when open but not loaded, "-" when closed.
QString Ouvertes()
{
    const auto etat = [](const QWidget *w, bool charge, QChar lettre) { return !w ? QChar('-') : charge ? lettre : QChar('?'); };
    return QString(etat(FenetreFetes(), FetesAffiche(), 'F')) + etat(FenetreDictons(), DictonsAffiche(), 'D')
        + etat(FenetreMois(), MoisAffiche(), 'M');
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

    // Today's names as a list, sized to them; tomorrow's by date arithmetic in the tool tip; the clock.
    // Row: day, today's cell / tomorrow's cell; then date | names | title | names' height in twips | tool tip.
    void fetes_data()
    {
        Rangees("c",
                {"2026-11-06 Léon Théodore/Martin|Vendredi 6 novembre|Léon, Théodore|Fêtes à souhaiter|440|DEMAIN: Martin",
                 "2026-11-06 Abcdefghi Abcdefghij Abcdefghij Abcdefghij/x|Vendredi 6 novembre|"
                 "Abcdefghi, Abcdefghij, Abcdefghij, Abcdefghij|Fêtes à souhaiter|660|DEMAIN: x",
                 "2026-11-06 A  B/x|Vendredi 6 novembre|A, , B|Fêtes à souhaiter|440|DEMAIN: x",
                 "2026-11-06 /x|Vendredi 6 novembre||Fête à souhaiter|220|DEMAIN: x",
                 "2026-12-31 x/Marie#Mère Basile|Jeudi 31 décembre|x|Fête à souhaiter|440|DEMAIN: Marie Mère, Basile",
                 "2028-02-28 x/Bissextile|Lundi 28 février|x|Fête à souhaiter|440|DEMAIN: Bissextile",
                 "2027-02-28 x/Mars|Dimanche 28 février|x|Fête à souhaiter|440|DEMAIN: Mars"});
    }
    void fetes()
    {
        QFETCH(QStringList, c);
        const QString entree = QString::fromUtf8(QTest::currentDataTag());
        const QDate jour = QDate::fromString(entree.left(10), Qt::ISODate);
        FixeMaintenant(QDateTime(jour, QTime(18, 5)));
        FixeFetes(jour, entree.mid(11).section('/', 0, 0));
        FixeFetes(jour.addDays(1), entree.section('/', 1));
        AfficheFetes();
        frmFetes *f = FenetreFetes();
        QCOMPARE(Ouvertes(), "F--");
        QCOMPARE(QStringList({f->lblDate->text(), f->lblFet->text(), f->Label1->text(), QString::number(f->HauteurNomsTwips()),
                              f->lblFet->toolTip()})
                     .join('|'),
                 c.join('|'));
        QCOMPARE(f->lblFet->height(), Px(f->HauteurNomsTwips()));
        QCOMPARE(f->lblHeure->text(), "18:05");
        FixeMaintenant(QDateTime(jour, QTime(21, 30, 40)));
        MetAJourHeureFetes();
        QCOMPARE(f->lblHeure->text(), "21:30");
    }

    // Cut at 28 characters, stopping at an empty part; sized to its lines. Row: the cells, "/"-separated ("" for no row), then
    // text | title | outline height in twips.
    void dictons_data()
    {
        Rangees("c",
                {"Vingt caractères ici/quinze de plus.|Vingt caractères ici quinze \nde plus.|Dicton|1240",
                 "Court.//non lu|Court.|Dicton|1020", "Un/deux/trois|Un deux trois|Dictons|1020", "||Dicton|1020"});
    }
    void dictons()
    {
        QFETCH(QStringList, c);
        const QStringList cellules = QString::fromUtf8(QTest::currentDataTag()).split('/');
        if (cellules == QStringList{QString()})
            Base().Execute("DELETE FROM Dictons WHERE NumJour=6 AND Mois='mois11'");
        else
            Base().Execute("UPDATE Dictons SET lib1=?, lib2=?, lib3=?, lib4='' WHERE NumJour=6 AND Mois='mois11'",
                           {cellules.value(0), cellules.value(1), cellules.value(2)});
        AfficheDictons();
        frmDictons *d = FenetreDictons();
        QCOMPARE(Ouvertes(), "-D-");
        QCOMPARE(QStringList({d->lblDict->text(), d->Label1->text(), QString::number(d->Shape1->HauteurTwips())}).join('|'),
                 c.join('|'));
        QVERIFY(messages->tous.isEmpty());
    }

    // Six facts in stored order; unreadable or missing rows leave their labels empty, without a message.
    // An unreadable name-day cell: the message, and that popup opens all the same.
    void moisEtCellulesIllisibles()
    {
        const auto faits = [] {
            const frmMois *m = FenetreMois();
            return QStringList{m->lblRepublicain->text(), m->lblAnge->text(),   m->lblArbre->text(),
                               m->lblFleur->text(),       m->lblAnimal->text(), m->lblPierre->text()};
        };
        AfficheMois();
        QCOMPARE(faits(), (QStringList{"Brumaire", "Adnachiel", "Roseau", "Chrysanthème", "Serpent", "Topaze"}));
        FermeTout();
        Base().Execute("UPDATE Mois SET mois11=NULL WHERE rowid=3");
        Base().Execute("DELETE FROM Mois WHERE rowid>4");
        AfficheMois();
        QCOMPARE(faits(), (QStringList{"Brumaire", "Adnachiel", "", "Chrysanthème", "", ""}));
        QVERIFY(messages->tous.isEmpty());
        Base().Execute("UPDATE Fetes SET mois11=NULL WHERE Jour=6");
        AfficheFetes();
        QCOMPARE(messages->critiques, QStringList{"Erreur lors du chargement de l'éphéméride."});
        QCOMPARE(Ouvertes(), "F-M");
    }

    // Under the nearest loaded popup above (listed nearest first), by its outline; at the top when none is.
    void empilement()
    {
        const PopupAuDessus absent, fetes{true, 1000, 2292}, dictons{true, 3492, 1692}, enCours{false, 3492, 1692};
        const QList<double> vu{HautSous({absent, absent}), HautSous({absent, fetes}), HautSous({enCours, fetes}),
                               HautSous({dictons, fetes})};
        QCOMPARE(vu, (QList<double>{1000, 3492, 3492, 5384}));
    }

    // At a change of day the open popups reload, each under the new outlines; a closed one stays closed.
    // Each "X" closes its popup, the others stay where they are; the name days' closes the whole column.
    void changementDeJourEtCroix()
    {
        FixeResolutionLogique(96); // the windows shrink; the column still follows the outlines
        FixeFetes(QDate(2026, 11, 6), "Léon Théodore");
        FixeFetes(QDate(2026, 11, 7), "Carine Ernest Hervé Herve Ernestine");
        AfficheFetes();
        AfficheMois();

        FixeMaintenant(QDateTime(QDate(2026, 11, 7), QTime(0, 0, 0)));
        RechargeEphemerides();
        // A closed popup stays closed; the month popup moves under the new outline.
        QCOMPARE(Ouvertes(), "F-M");
        const frmFetes *apres = FenetreFetes();
        QCOMPARE(apres->lblDate->text() + ' ' + apres->lblHeure->text() + ' ' + apres->lblFet->text(),
                 "Samedi 7 novembre 00:00 Carine, Ernest, Hervé, Herve, Ernestine");
        QCOMPARE(FenetreMois()->HautTwips(), 1000 + apres->Shape1->HauteurTwips() + 200);

        AfficheDictons();
        FixeMaintenant(QDateTime(QDate(2026, 12, 1), QTime(0, 0, 0)));
        RechargeEphemerides();
        QCOMPARE(FenetreMois()->lblRepublicain->text(), "Frimaire");
        QCOMPARE(Ouvertes(), "FDM");
        QCOMPARE(FenetreMois()->HautTwips(), FenetreDictons()->HautTwips() + FenetreDictons()->Shape1->HauteurTwips() + 200);
        const double hautMois = FenetreMois()->HautTwips();
        QTest::mouseClick(FenetreDictons()->lblQuit, Qt::LeftButton);
        QCOMPARE(Ouvertes(), "F-M");
        QCOMPARE(FenetreMois()->HautTwips(), hautMois);
        AfficheDictons();
        QTest::mouseClick(FenetreFetes()->lblQuit, Qt::LeftButton);
        QCOMPARE(Ouvertes(), "---");
    }

    // Each box writes its setting. The picture opens the ticked popups and lights; lit, it only closes; any box
    // click puts the light out. "&Paramétrer" reads the boxes, not the settings, and closes nothing.
    // A new panel ticks a box for an exact "1" only, and rewrites nothing.
    void panneau()
    {
        const Reglage reglages[] = {ReglageEphemerides, ReglageFetes, ReglageDictons, ReglageMois};
        QWidget accueil;
        auto *panneau = new PanneauEphem(&accueil);
        accueil.show();
        const auto clic = [](QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); };
        const auto etat = [&] { return Ouvertes() + (panneau->Led->isHidden() ? " éteint" : " allumé"); };
        // Each step: the boxes (by number) and the picture (V) clicked, then what shows.
        for (const char *pas : {"00V --- éteint", "23V -DM allumé", "1 -DM éteint", "V FDM allumé", "V --- éteint"}) {
            const QString p = QString::fromUtf8(pas);
            for (const QChar c : p.section(' ', 0, 0))
                clic(c == 'V' ? static_cast<QWidget *>(panneau->imgVisu) : panneau->chkEph[c.digitValue()]);
            QCOMPARE(etat(), p.section(' ', 1));
        }
        QString ecrits; // by the clicks: "1" ticked, "0" unticked
        for (const Reglage &r : reglages)
            ecrits += LitReglage(r);
        QCOMPARE(ecrits, "0111");

        // Out with a popup open from elsewhere: reopened fresh, in its place in the column.
        AfficheMois();
        clic(panneau->imgVisu);
        QCOMPARE(etat(), "FDM allumé");
        QVERIFY(FenetreMois()->HautTwips() > 1000);

        FermeTout();
        clic(panneau->chkEph[2]); // the saying unticked; its setting still asks for it
        EcritReglage(ReglageDictons, "1");
        AfficheFetes();
        frmFetes *fetes = FenetreFetes();
        OuvreEphemeridesCochees();
        QCOMPARE(FenetreFetes(), fetes); // not closed first
        QCOMPARE(Ouvertes(), "F-M");

        FermeTout();
        for (int i = 0; const char *stocke : {"1 ", "1", "2", "1"})
            EcritReglage(reglages[i++], stocke);
        QWidget autre;
        auto *neuf = new PanneauEphem(&autre);
        QString vu; // per box: ticked, then its setting as stored
        for (int i = 0; i < 4; ++i)
            vu += QString::number(neuf->chkEph[i]->isChecked()) + LitReglage(reglages[i]) + ',';
        QCOMPARE(vu + Ouvertes() + (neuf->Led->isHidden() ? " éteint" : " allumé"), "01 ,11,02,11,--- éteint");
    }
};

OXI_TEST_MAIN(TestPopupsEphem)
#include "tst_popups_ephem.moc"
