#include "frmAccueil.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Dialogues.h"
#include "Ephemerides.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "PanneauAnniv.h"
#include "PanneauEphem.h"
#include "PanneauFetes.h"
#include "PanneauNotes.h"
#include "PanneauTransfert.h"
#include "Plateforme.h"
#include "Rearmement.h"
#include "RechercheRappels.h"
#include "Reglages.h"
#include "Saisie.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QKeyEvent>

namespace oxi {

namespace {
frmAccueil *instance = nullptr;
}

frmAccueil::frmAccueil()
{
    instance = this;
    setObjectName(QStringLiteral("frmAccueil"));
    setWindowTitle(TitreAppli);
    setFixedSize(Px(6700), Px(3700));
    setMouseTracking(true);
    FinitSaisie();

    fraAccueil = new Cadre(QStringLiteral("fraAccueil"), this);
    PlaceTwips(fraAccueil, 1920, 720, 2652, 1692);
    fraEphem = new PanneauEphem(this);
    fraAnniv = new PanneauAnniv(this);
    fraFetes = new PanneauFetes(this);
    fraNotes = new PanneauNotes(this);
    fraTransfert = new PanneauTransfert(this);
    for (QWidget *panneau : {static_cast<QWidget *>(fraEphem), static_cast<QWidget *>(fraFetes),
                             static_cast<QWidget *>(fraAnniv), static_cast<QWidget *>(fraNotes),
                             static_cast<QWidget *>(fraTransfert)})
        panneau->move(Px(1080), Px(360));
    fraAide = new Cadre(QStringLiteral("fraAide"), this);
    PlaceTwips(fraAide, 5040, 360, 1452, 372);
    AfficheAccueil();

    m_jourVu = Aujourdhui();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmAccueil::Timer1_Timer);
    Timer1->start();
}

frmAccueil::~frmAccueil()
{
    if (instance == this)
        instance = nullptr;
}

frmAccueil *frmAccueil::Instance()
{
    return instance;
}

void frmAccueil::AfficheAccueil()
{
    fraAccueil->show();
    for (QWidget *panneau : {static_cast<QWidget *>(fraEphem), static_cast<QWidget *>(fraFetes),
                             static_cast<QWidget *>(fraAnniv), static_cast<QWidget *>(fraNotes),
                             static_cast<QWidget *>(fraTransfert)})
        panneau->hide();
}

void frmAccueil::Montre()
{
    if (isMinimized())
        showNormal();
    else
        show();
    raise();
    activateWindow();
}

void frmAccueil::FermePourQuitter()
{
    m_quitte = true;
    close();
}

void frmAccueil::closeEvent(QCloseEvent *event)
{
    if (m_quitte || !isVisible()) {
        event->accept();
        return;
    }
    event->ignore();
    if (SaisieEnCours()) {
        MsgInfo(QStringLiteral("Vous devez valider ou annuler votre opération !"));
        return;
    }
    AfficheAccueil();
    // Without a notification area a hidden window could not be found again.
    if (m_sansZone)
        showMinimized();
    else
        hide();
}

void frmAccueil::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F11:
    case Qt::Key_F10:
    case Qt::Key_F9:
    case Qt::Key_F8:
    case Qt::Key_F1:
        ToucheFonction(event->key());
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmAccueil::ToucheFonction(int touche)
{
    if (touche == Qt::Key_F11) {
        EcritReglage(ReglagePremiereFois, QStringLiteral("0"));
        MsgInfo(QStringLiteral("La fenêtre 'Première utilisation' sera affichée au prochain démarrage de Oxi."));
    } else if (touche == Qt::Key_F10) {
        PlateformeCourante().SupprimeDemarrage(NomAppli());
        MsgInfo(DeuxLignes(QStringLiteral("Oxi ne se lancera plus automatiquement au démarrage."),
                           QStringLiteral("Appuyez sur F9 pour relancer automatiquement.")));
    } else if (touche == Qt::Key_F9) {
        PlateformeCourante().AjouteDemarrage(NomAppli(), CheminExecutable());
        MsgInfo(DeuxLignes(QStringLiteral("Oxi se lancera automatiquement au démarrage."),
                           QStringLiteral("Appuyez sur F10 pour empêcher ce démarrage automatique.")));
    } else if (touche == Qt::Key_F8) {
        AfficheRegistre();
    } else if (touche == Qt::Key_F1) {
        OuvreAide();
    }
}

// A change of day is the date differing from the one seen at the previous
// tick: a skipped second or a suspend over midnight still counts.
void frmAccueil::Timer1_Timer()
{
    const QDate jour = Aujourdhui();
    const bool nouveauJour = jour != m_jourVu;
    m_jourVu = jour;
    MetAJourHeureFetes();
    if (!nouveauJour)
        return;
    RechargeEphemerides();
    RearmeEcheances();
    RechercheRappels();
}

} // namespace oxi
