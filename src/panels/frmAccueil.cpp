#include "frmAccueil.h"
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Ephemerides.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "ModuleEchanges.h"
#include "PanneauAnniv.h"
#include "PanneauEphem.h"
#include "PanneauFetes.h"
#include "PanneauNotes.h"
#include "PanneauTransfert.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace oxi {

frmAccueil::frmAccueil()
{
    setObjectName(QStringLiteral("frmAccueil"));
    setWindowTitle(TitreAppli);
    setFixedSize(Px(6700), Px(3700));
    setMouseTracking(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmAccueil::ActualiseHeure);
    Timer1->start();
}

frmAccueil::~frmAccueil()
{
}

QList<QWidget *> frmAccueil::Panneaux() const
{
    if (!fraEphem)
        return {};
    return {fraEphem, fraFetes, fraAnniv, fraNotes, fraTransfert};
}

// The window's contents are built when it is first shown, or first needed:
// a window that stays in the tray never pays for them (nearly a megabyte of
// Qt's widget and text code at every start).
void frmAccueil::ConstruitPanneaux()
{
    if (fraEphem)
        return;
    CreeBarre();
    CreeAccueil();
    CreeAide();
    fraEphem = new PanneauEphem(this);
    fraAnniv = new PanneauAnniv(this);
    fraFetes = new PanneauFetes(this);
    fraNotes = new PanneauNotes(this);
    fraTransfert = new PanneauTransfert(this);
    fraTransfert->synchro = [this] { return Synchro(); };
    connect(fraTransfert, &PanneauTransfert::termine, this, &frmAccueil::AfficheAccueil);
    for (QWidget *panneau : Panneaux()) {
        panneau->move(Px(1080), Px(360));
        panneau->hide();
    }
    connect(fraEphem, &Cadre::survol, this, [this] {
        imgHelp.jumeau->hide();
        imgTransfert.jumeau->hide();
    });
    for (Cadre *panneau : {static_cast<Cadre *>(fraAnniv), static_cast<Cadre *>(fraFetes), static_cast<Cadre *>(fraNotes)})
        connect(panneau, &Cadre::survol, this, [this] {
            imgHelp.jumeau->hide();
            imgTransfert.jumeau->hide();
        });
    connect(fraTransfert, &Cadre::survol, this, [this] {
        imgTransfert.jumeau->hide();
        imgHelp.jumeau->hide();
        setWindowTitle(QStringLiteral("Oxi - Transfert des données"));
    });
    AfficheAccueil();
    CacheBordures();
    fraAide->raise();
}

void frmAccueil::setVisible(bool visible)
{
    if (visible)
        ConstruitPanneaux();
    QWidget::setVisible(visible);
}

// The icon bar: each icon over its frame shape, shown while the pointer is on the icon.
void frmAccueil::CreeBarre()
{
    struct Icone
    {
        Image **image;
        QFrame **bord;
        const char *nom;
        const char *ressource;
        const char *bulle;
        int haut;
    };
    const Icone icones[] = {
        {&imgEphem, &bord1, "imgEphem", ":/panels/ephem.svg", "Ephémérides", 360},
        {&imgAnniv, &bord2, "imgAnniv", ":/panels/anniv.svg", "Anniversaires", 960},
        {&imgFete, &bord3, "imgFete", ":/panels/fete.svg", "Fêtes", 1560},
        {&imgNote, &bord4, "imgNote", ":/panels/note.svg", "Notes", 2160},
    };
    int n = 1;
    for (const Icone &icone : icones) {
        QFrame *bord = new QFrame(this);
        bord->setObjectName(QStringLiteral("bord%1").arg(n++));
        bord->setFrameShape(QFrame::Box);
        bord->setStyleSheet(QStringLiteral("QFrame { border: 1px solid #6f7d96; background: #e4e9f5; }"));
        bord->setAttribute(Qt::WA_TransparentForMouseEvents);
        PlaceTwips(bord, 0, icone.haut - 120, 852, 612);
        bord->hide();
        *icone.bord = bord;
        Image *image = new Image(QString::fromLatin1(icone.nom), QString::fromLatin1(icone.ressource), this);
        image->setToolTip(QString::fromUtf8(icone.bulle));
        PlaceTwips(image, 240, icone.haut, 384, 384);
        image->setCursor(Qt::PointingHandCursor);
        *icone.image = image;
        const QString legende = QStringLiteral("Oxi - ") + QString::fromUtf8(icone.bulle);
        connect(image, &Image::survol, this, [this, bord, legende] {
            bord->show();
            setWindowTitle(legende);
        });
    }
    connect(imgEphem, &Image::clic, this, &frmAccueil::OuvreEphemerides);
    connect(imgAnniv, &Image::clic, this, &frmAccueil::OuvreAnniversaires);
    connect(imgFete, &Image::clic, this, &frmAccueil::OuvreFetes);
    connect(imgNote, &Image::clic, this, &frmAccueil::OuvreNotes);
}

// The strip at the top right, over the corner of the panel area; usable whatever panel is shown.
void frmAccueil::CreeAide()
{
    fraAide = new Cadre(QStringLiteral("fraAide"), this);
    PlaceTwips(fraAide, 5040, 360, 1452, 372);
    imgCarte = CreePaire(fraAide, QStringLiteral("imgCarte"), QStringLiteral(":/panels/carte.svg"), 0, 0, 288, 288);
    imgTransfert = CreePaire(fraAide, QStringLiteral("imgTransfert"), QStringLiteral(":/panels/transfert.svg"), 360, 0, 288, 288);
    imgHelp = CreePaire(fraAide, QStringLiteral("imgHelp"), QStringLiteral(":/panels/aide.svg"), 720, 0, 288, 288);
    const QList<std::pair<PaireImages *, QString>> bulles{{&imgCarte, QStringLiteral("Envoyer une carte")},
                                                          {&imgTransfert, QStringLiteral("Transfert des données")},
                                                          {&imgHelp, QStringLiteral("Aide")}};
    for (const auto &[paire, bulle] : bulles) {
        paire->image->setToolTip(bulle);
        paire->jumeau->setToolTip(bulle);
        paire->jumeau->setCursor(Qt::PointingHandCursor);
    }
    connect(imgHelp.image, &Image::survol, this, [this] { setWindowTitle(QStringLiteral("Oxi - Aide")); });
    connect(imgCarte.image, &Image::survol, this, [this] { setWindowTitle(QStringLiteral("Oxi - Envoyer une carte postale")); });
    connect(imgTransfert.image, &Image::survol, this, [this] {
        imgCarte.jumeau->hide();
        setWindowTitle(QStringLiteral("Oxi - Transfert des données"));
    });
    connect(fraAide, &Cadre::survol, this, &frmAccueil::CacheBordures);
    connect(imgCarte.jumeau, &Image::clic, this, &frmAccueil::EnvoieCarte);
    connect(imgTransfert.jumeau, &Image::clic, this, &frmAccueil::OuvreTransfert);
    connect(imgHelp.jumeau, &Image::clic, this, &frmAccueil::AfficheAide);
    fraAide->raise();
}

void frmAccueil::CreeAccueil()
{
    fraAccueil = new Cadre(QStringLiteral("fraAccueil"), this);
    PlaceTwips(fraAccueil, 1920, 720, 2652, 1692);
    imgLogo = CreePaire(fraAccueil, QStringLiteral("imgLogo"), QStringLiteral(":/panels/logo.svg"), 0, 0, 2652, 1692);
    connect(fraAccueil, &Cadre::survol, this, [this] {
        imgLogo.jumeau->hide();
        imgHelp.jumeau->hide();
        imgTransfert.jumeau->hide();
    });
}

void frmAccueil::AfficheAccueil()
{
    if (!fraAccueil)
        return;
    fraAccueil->show();
    for (QWidget *panneau : Panneaux())
        panneau->hide();
}

void frmAccueil::CacheBordures()
{
    if (!bord1)
        return;
    for (QWidget *w : std::initializer_list<QWidget *>{bord1, bord2, bord3, bord4, imgHelp.jumeau, imgTransfert.jumeau,
                                                       imgLogo.jumeau, imgCarte.jumeau})
        w->hide();
    QString legende = TitreAppli;
    if (!fraEphem)
        legende = TitreAppli;
    else if (!fraEphem->isHidden())
        legende = QStringLiteral("Oxi - Ephémérides");
    else if (!fraAnniv->isHidden())
        legende = QStringLiteral("Oxi - Anniversaires");
    else if (!fraFetes->isHidden())
        legende = QStringLiteral("Oxi - Fêtes");
    else if (!fraNotes->isHidden())
        legende = QStringLiteral("Oxi - Notes");
    else if (!fraTransfert->isHidden())
        legende = QStringLiteral("Oxi - Transfert des données");
    setWindowTitle(legende);
}

bool frmAccueil::SaisieEnCours() const
{
    for (const PanneauRappels *panneau : std::initializer_list<const PanneauRappels *>{fraAnniv, fraFetes, fraNotes})
        if (panneau && panneau->Saisie() != ModeSaisie::Aucune)
            return true;
    return false;
}

bool frmAccueil::OuvrePanneau(QWidget *panneau, const QString &legende)
{
    // An entry in progress keeps every other panel shut.
    if (SaisieEnCours())
        return false;
    setWindowTitle(legende);
    panneau->show();
    fraAccueil->hide();
    for (QWidget *autre : Panneaux())
        if (autre != panneau)
            autre->hide();
    fraAide->raise();
    return true;
}

void frmAccueil::OuvreEphemerides()
{
    ConstruitPanneaux();
    OuvrePanneau(fraEphem, QStringLiteral("Oxi - Ephémérides"));
}

SynchroAuto *frmAccueil::Synchro()
{
    if (m_synchro)
        return m_synchro;
    ModuleEchanges *module = ModuleEchangesOuMessage();
    if (!module)
        return nullptr;
    m_synchro = module->CreeSynchroAuto(Base(), this);
    connect(m_synchro, &SynchroAuto::Fini, this, [this](const BilanSynchro &bilan) {
        if (bilan.recus > 0)
            RelitListeOuverte();
    });
    return m_synchro;
}

void frmAccueil::RelitListeOuverte()
{
    if (SaisieEnCours())
        return;
    for (PanneauRappels *panneau : {static_cast<PanneauRappels *>(fraAnniv), static_cast<PanneauRappels *>(fraFetes),
                                    static_cast<PanneauRappels *>(fraNotes)})
        if (panneau && panneau->isVisible())
            panneau->RemplitListe();
}

void frmAccueil::OuvreAnniversaires()
{
    ConstruitPanneaux();
    if (OuvrePanneau(fraAnniv, QStringLiteral("Oxi - Anniversaires")))
        fraAnniv->Ouvre();
}

void frmAccueil::OuvreFetes()
{
    ConstruitPanneaux();
    if (OuvrePanneau(fraFetes, QStringLiteral("Oxi - Fêtes")))
        fraFetes->Ouvre();
}

void frmAccueil::OuvreNotes()
{
    ConstruitPanneaux();
    if (OuvrePanneau(fraNotes, QStringLiteral("Oxi - Notes")))
        fraNotes->Ouvre();
}

void frmAccueil::OuvreTransfert()
{
    ConstruitPanneaux();
    imgTransfert.jumeau->hide();
    if (OuvrePanneau(fraTransfert, QStringLiteral("Oxi - Transfert des données")))
        fraTransfert->Initialise();
}

void frmAccueil::AfficheAide()
{
    imgHelp.jumeau->hide();
    Montre();
    setFocus();
    ToucheFonction(Qt::Key_F1);
}

void frmAccueil::EnvoieCarte()
{
    imgCarte.jumeau->hide();
    oxi::EnvoieCarte(QString());
}

void frmAccueil::mouseMoveEvent(QMouseEvent *event)
{
    CacheBordures();
    QWidget::mouseMoveEvent(event);
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
    // No scan may run on the connection about to close.
    Timer1->stop();
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
        emit registreDemande();
    } else if (touche == Qt::Key_F1) {
        OuvreAide();
    }
}

void frmAccueil::ActualiseHeure()
{
    MetAJourHeureFetes();
}

} // namespace oxi
