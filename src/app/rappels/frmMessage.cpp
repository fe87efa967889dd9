#include "frmMessage.h"

#include "Constantes.h"
#include "FormePopup.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "Plateforme.h"
#include "Polices.h"
#include "Rappels.h"
#include "TexteLignes.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>

namespace oxi {

namespace {

constexpr double HautMsg = 1080;
constexpr double LargeurLogo = 540;
constexpr double HauteurLogo = 336;
constexpr double LargeurShape = 4200;
constexpr double LargeurMsg = 3792;
// From the text's top to the window's bottom, and the outline's share of the window.
constexpr double SousMsg = 700;
constexpr double RapportFenetre = 1 + 506.0 / 1970;

// A label wraps only between words: a word longer than a line (a key or a code
// in a note) gets invisible break points, so that none of it runs off the side.
QString CoupableDansLesMots(const QString &texte)
{
    constexpr int Pas = 12;
    QString resultat;
    resultat.reserve(texte.size());
    int mot = 0;
    for (const QChar c : texte) {
        mot = c.isSpace() ? 0 : mot + 1;
        if (mot > Pas * 2 && mot % Pas == 1)
            resultat += QChar(0x200B);
        resultat += c;
    }
    return resultat;
}

QLabel *CreeEtiquette(QWidget *parent, const QString &nom, const QString &texte, const QFont &police, int gauche, int haut,
                      int largeur, int hauteur)
{
    QLabel *etiquette = EtiquetteTwips(parent, nom, texte, police, gauche, haut, largeur, hauteur);
    etiquette->setAttribute(Qt::WA_TransparentForMouseEvents);
    return etiquette;
}

Image *CreeImage(QWidget *parent, const QString &nom, const QString &ressource, int gauche, int haut, int largeur, int hauteur)
{
    auto *image = new Image(nom, ressource, parent);
    PlaceTwips(image, gauche, haut, largeur, hauteur);
    return image;
}

} // namespace

frmMessage::frmMessage(ScanRappels &scan, QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_scan(scan)
{
    setObjectName(QStringLiteral("frmMessage"));
    setWindowTitle(QStringLiteral("Oxi - Rappel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setMouseTracking(true);
    setAutoFillBackground(true);
    QPalette fond = palette();
    fond.setColor(QPalette::Window, Qt::white);
    fond.setColor(QPalette::WindowText, Qt::black);
    setPalette(fond);
    resize(Px(m_largeur), Px(m_hauteur));

    Shape1 = new FormePopup(this);
    Shape1->ChangeTaille(LargeurShape, m_hauteur);

    const QFont tahoma = Police(QStringLiteral("Tahoma"), 7.8);
    const QFont tahomaGras = Police(QStringLiteral("Tahoma"), 7.8, true);

    lblTitre = CreeEtiquette(this, QStringLiteral("lblTitre"), QStringLiteral("Anniversaires"),
                             Police(QStringLiteral("Berthold Garamond"), 14.4, true), 720, 180, 2532, 372);
    QPalette bleu = lblTitre->palette();
    bleu.setColor(QPalette::WindowText, QColor(0, 0, 128));
    lblTitre->setPalette(bleu);

    const QString images = QStringLiteral(":/reminders/");
    imgAnniv = CreeImage(this, QStringLiteral("imgAnniv"), images + QStringLiteral("anniv.svg"), 240, 120, 384, 384);
    imgFete = CreeImage(this, QStringLiteral("imgFete"), images + QStringLiteral("fete.svg"), 240, 120, 384, 384);
    imgNote = CreeImage(this, QStringLiteral("imgNote"), images + QStringLiteral("note.svg"), 240, 120, 384, 384);
    for (Image *i : {imgAnniv, imgFete, imgNote})
        i->hide();

    lblDate = CreeEtiquette(this, QStringLiteral("lblDate"), QStringLiteral("Date"), tahomaGras, 240, 720, 2412, 252);
    defMsg = new QScrollArea(this);
    defMsg->setObjectName(QStringLiteral("defMsg"));
    defMsg->setFrameShape(QFrame::NoFrame);
    defMsg->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    defMsg->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    defMsg->setAutoFillBackground(false);
    defMsg->viewport()->setAutoFillBackground(false);
    PlaceTwips(defMsg, 240, int(HautMsg), int(LargeurMsg), 372);
    lblMsg =
        CreeEtiquette(nullptr, QStringLiteral("lblMsg"), QStringLiteral("Texte du message"), tahoma, 0, 0, int(LargeurMsg), 372);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg->setWordWrap(true);
    // A note's text is the user's: never read as markup.
    lblMsg->setTextFormat(Qt::PlainText);
    defMsg->setWidget(lblMsg);
    imgLogo = CreeImage(this, QStringLiteral("imgLogo"), images + QStringLiteral("logo.svg"), 2400, 1560, int(LargeurLogo),
                        int(HauteurLogo));
    lblNombre = CreeEtiquette(this, QStringLiteral("lblNombre"), QStringLiteral("1/1"), tahomaGras, 3120, 1680, 372, 252);
    lblNombre->hide();

    imgSuiv = CreePaire(this, QStringLiteral("imgSuiv"), images + QStringLiteral("suiv.svg"), 3600, 1596, 288, 288);
    imgSuiv.image->setToolTip(QStringLiteral("Suivant"));
    imgSuiv.jumeau->setToolTip(QStringLiteral("Suivant"));
    imgSuiv.image->hide();
    imgCarte = CreePaire(this, QStringLiteral("imgCarte"), images + QStringLiteral("carte.svg"), 3240, 180, 288, 276);
    imgCarte.jumeau->setToolTip(QStringLiteral("Envoyer une carte"));

    lblQuit = new LienTexte(QStringLiteral("lblQuit"), QStringLiteral("X"), this);
    lblQuit->setFont(Police(QStringLiteral("Arial Black"), 10.8));
    PlaceTwips(lblQuit, 3720, 162, 252, 252);

    lblPlusTard = new LienTexte(QStringLiteral("lblPlusTard"), QStringLiteral("Plus tard"), this);
    lblPlusTard->setFont(tahoma);
    lblPlusTard->setPalette(bleu);
    lblPlusTard->setCursor(Qt::PointingHandCursor);
    lblPlusTard->setToolTip(QStringLiteral("Revoir ce rappel plus tard"));
    mnuPlusTard = new QMenu(this);
    mnuPlusTard->setObjectName(QStringLiteral("mnuPlusTard"));
    const std::pair<const char *, QString> delais[] = {{"mnuPlusTard15", QStringLiteral("Dans 15 minutes")},
                                                       {"mnuPlusTard60", QStringLiteral("Dans une heure")},
                                                       {"mnuPlusTardDemain", QStringLiteral("Demain matin")}};
    for (int i = 0; i < 3; ++i) {
        QAction *action = mnuPlusTard->addAction(delais[i].second);
        action->setObjectName(QLatin1String(delais[i].first));
        connect(action, &QAction::triggered, this, [this, i] { PlusTard(DelaiReport(i)); });
    }
    connect(lblPlusTard, &LienTexte::clic, this,
            [this] { mnuPlusTard->popup(lblPlusTard->mapToGlobal(QPoint(0, lblPlusTard->height()))); });

    connect(imgSuiv.jumeau, &Image::clic, this, &frmMessage::AfficheRappelSuivant);
    connect(imgCarte.jumeau, &Image::clic, this, [this] { EnvoieCarte(m_salutation); });
    connect(lblQuit, &LienTexte::clic, this, &QWidget::close);
    connect(lblQuit, &LienTexte::survol, this, [this] {
        QPalette gris = lblQuit->palette();
        gris.setColor(QPalette::WindowText, QColor(192, 192, 192));
        lblQuit->setPalette(gris);
    });
}

frmMessage::~frmMessage() = default;

void frmMessage::AdapteTitre(TypeRappel type)
{
    switch (type) {
    case TypeRappel::Fete:
        lblTitre->setText(QStringLiteral("Fête "));
        break;
    case TypeRappel::Anniversaire:
        lblTitre->setText(QStringLiteral("Anniversaire "));
        break;
    case TypeRappel::Note:
        lblTitre->setText(QStringLiteral("Note"));
        break;
    }
    imgFete->setVisible(type == TypeRappel::Fete);
    imgAnniv->setVisible(type == TypeRappel::Anniversaire);
    imgNote->setVisible(type == TypeRappel::Note);
}

void frmMessage::AfficheNbMessages()
{
    if (NbMessages == 1) {
        m_gaucheLogo = 3300;
        lblNombre->hide();
        imgSuiv.image->hide();
        imgSuiv.jumeau->hide();
    } else if (NbMessages >= 2) {
        m_gaucheLogo = 2520;
        lblNombre->show();
        imgSuiv.image->show();
    }
    ModifieTailleMessage(ArrondiPair(m_hauteurMsg / 186));
}

bool frmMessage::AfficheRappel()
{
    // Only reminders put off are left: asked for, the first of them comes back now.
    if (!m_scan.File().Suivant() && m_reports)
        m_reports->RameneProchain(m_scan.File());
    m_numAffiche = 0;
    const std::optional<RappelAffiche> suivant = m_scan.Prochain();
    if (!suivant) {
        // Only unreadable ones were left: the last one shown stays, without the arrow.
        NbMessages = 1;
        AfficheNbMessages();
        return false;
    }
    const int restants = AVenir();
    NbMessages = restants + 1;
    NumMessage = TotalMessages - restants;
    AdapteTitre(suivant->texte.type);
    AfficheNbMessages();
    lblNombre->setText(QStringLiteral("%1/%2").arg(NumMessage).arg(TotalMessages));
    lblMsg->setText(CoupableDansLesMots(suivant->texte.message));
    m_salutation = SalutationCarte(suivant->texte.type, suivant->rappel.libelle);
    m_numAffiche = suivant->rappel.numRappel;
    m_avant = suivant->rappel.echeances;
    lblDate->setText(suivant->texte.ligneDate);
    m_lignes = suivant->texte.nbLignes;
    return true;
}

bool frmMessage::AffichePremierRappel()
{
    TotalMessages = AVenir();
    m_lignes = 0;
    if (!AfficheRappel())
        return false;
    PlaceFenetre(this, GaucheMessage, HautMessage);
    ModifieTailleMessage(m_lignes);
    ModifieTailleFenetre(false);
    return true;
}

void frmMessage::AfficheRappelSuivant()
{
    imgSuiv.jumeau->hide();
    if (!AfficheRappel())
        return;
    ModifieTailleMessage(m_lignes);
    ModifieTailleFenetre(true);
}

void frmMessage::Actualise()
{
    // The reminder on screen is already shown: it counts as the current one.
    NbMessages = AVenir() + 1;
    TotalMessages = NumMessage + AVenir();
    AfficheNbMessages();
    lblNombre->setText(QStringLiteral("%1/%2").arg(NumMessage).arg(TotalMessages));
}

double frmMessage::HauteurMsgMax() const
{
    const QScreen *ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return 1e9;
    const QRect zone = ecran->availableGeometry();
    const double fenetreMax = Twips(zone.bottom() + 1) - HautMessage - 2 * TwipsParPixel * 4;
    const float facteur = FacteurPolice();
    return std::max(186.0, fenetreMax * double(facteur) / RapportFenetre - HautMsg - SousMsg);
}

void frmMessage::ModifieTailleMessage(int nb)
{
    // The lines counted by the rule, or more when the font's wrapped text is
    // taller; past the screen's height the text scrolls inside the popup.
    const int largeur = Px(LargeurMsg);
    const double voulu = std::max(nb * 186.0, Twips(lblMsg->heightForWidth(largeur)));
    const double plafond = HauteurMsgMax();
    const bool defile = voulu > plafond;
    m_hauteurMsg = defile ? plafond : voulu;
    PlaceTwips(defMsg, 240, int(HautMsg), int(LargeurMsg), int(m_hauteurMsg));
    defMsg->setVerticalScrollBarPolicy(defile ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int largeurTexte = defile ? largeur - defMsg->verticalScrollBar()->sizeHint().width() : largeur;
    lblMsg->resize(largeurTexte, std::max(lblMsg->heightForWidth(largeurTexte), defMsg->height()));
    defMsg->verticalScrollBar()->setValue(0);
    const double hautLogo = HautMsg + m_hauteurMsg + 100;
    PlaceTwips(imgLogo, int(m_gaucheLogo), int(hautLogo), int(LargeurLogo), int(HauteurLogo));
    PlaceTwips(lblNombre, int(m_gaucheLogo + LargeurLogo + 50), int(hautLogo + 180), 372, 252);
    PlaceTwips(imgSuiv.image, 3600, int(hautLogo + 50), 288, 288);
    PlaceTwips(lblPlusTard, 240, int(hautLogo + 180), 1200, 252);
    PlaceTwips(imgSuiv.jumeau, 3600, int(hautLogo + 50), 288, 288);
}

void frmMessage::ModifieTailleFenetre(bool plusMessages)
{
    const double h = ArrondiPair(HautMsg + m_hauteurMsg + SousMsg);
    Shape1->ChangeTaille(LargeurShape, h);
    m_hauteur = h + h / 1970 * 506;
    const float facteur = FacteurPolice();
    if (facteur != 1.0f) {
        m_hauteur /= facteur;
        if (!plusMessages)
            m_largeur /= facteur;
    }
    resize(Px(m_largeur), Px(m_hauteur));
    ArrondiFenetre(this, m_largeur, m_hauteur, RayonCoin(h));
    update();
}

int frmMessage::AVenir() const
{
    // A reminder put off is still to come.
    return m_scan.File().NonAffiches() + (m_reports ? m_reports->Nombre() : 0);
}

void frmMessage::PlusTard(DelaiReport delai)
{
    if (!m_reports || m_numAffiche == 0)
        return;
    try {
        m_reports->Reporte(m_numAffiche, m_avant, MomentReport(delai, Maintenant()));
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la mise à jour des données. "));
        return;
    }
    m_numAffiche = 0;
    Q_EMIT reporte();
    if (m_scan.File().NonAffiches() > 0) {
        AfficheRappelSuivant();
        return;
    }
    m_sansQuestion = true;
    close();
}

void frmMessage::FermePourQuitter()
{
    // The connection closes right after: showing another reminder now would
    // acknowledge it unseen, so both answers close and leave it due.
    if (NbMessages > 1)
        MsgQuestion(QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?"));
    m_sansQuestion = true;
    close();
}

void frmMessage::closeEvent(QCloseEvent *event)
{
    if (!m_sansQuestion && NbMessages > 1 && MsgQuestion(QStringLiteral("Vous avez un autre rappel...Voulez-vous le voir?"))) {
        AfficheRappelSuivant();
        event->ignore();
        return;
    }
    event->accept();
}

void frmMessage::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over the images reach here too once they have passed them on.
    QWidget *sous = childAt(event->position().toPoint());
    if (sous && sous != this) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    imgSuiv.jumeau->hide();
    imgCarte.jumeau->hide();
    QPalette noir = lblQuit->palette();
    noir.setColor(QPalette::WindowText, Qt::black);
    lblQuit->setPalette(noir);
    QWidget::mouseMoveEvent(event);
}

} // namespace oxi
