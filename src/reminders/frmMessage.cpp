#include "frmMessage.h"

#include "Base.h"
#include "Constantes.h"
#include "FormePopup.h"
#include "Messagerie.h"
#include "Plateforme.h"
#include "Polices.h"
#include "TexteLignes.h"
#include "TexteRappel.h"
#include "RechercheRappels.h"
#include "Horloge.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>

#include <algorithm>
#include <QMouseEvent>

namespace oxi {

namespace {

QPointer<frmMessage> instance;

constexpr double HautMsg = 1080;
constexpr double LargeurLogo = 540;
constexpr double HauteurLogo = 336;
constexpr double LargeurShape = 4200;
constexpr double LargeurMsg = 3792;
// From the text's top to the window's bottom, and the outline's share of the window.
constexpr double SousMsg = 700;
constexpr double RapportFenetre = 1 + 506.0 / 1970;

QLabel *CreeEtiquette(QWidget *parent, const QString &nom, const QString &texte, const QFont &police,
                      int gauche, int haut, int largeur, int hauteur)
{
    auto *etiquette = new QLabel(texte, parent);
    etiquette->setObjectName(nom);
    etiquette->setFont(police);
    etiquette->setAttribute(Qt::WA_TransparentForMouseEvents);
    PlaceTwips(etiquette, gauche, haut, largeur, hauteur);
    return etiquette;
}

// A label wraps only between words: a word longer than a line (a web address
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

Image *CreeImage(QWidget *parent, const QString &nom, const QString &ressource,
                 int gauche, int haut, int largeur, int hauteur)
{
    auto *image = new Image(nom, ressource, parent);
    PlaceTwips(image, gauche, haut, largeur, hauteur);
    return image;
}

} // namespace

frmMessage::frmMessage(QWidget *parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
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
    instance = this;

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
    lblMsg = CreeEtiquette(nullptr, QStringLiteral("lblMsg"), QStringLiteral("Texte du message"), tahoma,
                           0, 0, int(LargeurMsg), 372);
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg->setWordWrap(true);
    // A note's text is the user's: never read as markup.
    lblMsg->setTextFormat(Qt::PlainText);
    defMsg->setWidget(lblMsg);
    imgLogo = CreeImage(this, QStringLiteral("imgLogo"), images + QStringLiteral("logo.svg"), 2400, 1560,
                        int(LargeurLogo), int(HauteurLogo));
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

    connect(imgSuiv.jumeau, &Image::clic, this, &frmMessage::imgSuiv2_Click);
    connect(imgCarte.jumeau, &Image::clic, this, [this] { EnvoieCarte(m_salutation); });
    connect(lblQuit, &LienTexte::clic, this, &QWidget::close);
    connect(lblQuit, &LienTexte::survol, this, [this] {
        QPalette gris = lblQuit->palette();
        gris.setColor(QPalette::WindowText, QColor(192, 192, 192));
        lblQuit->setPalette(gris);
    });
}

frmMessage::~frmMessage() = default;

frmMessage *frmMessage::Instance()
{
    return instance.data();
}

void frmMessage::RecupNbMessages()
{
    // A reminder put off is still to come.
    NbMessages = CompteRappelsNonAffiches() + CompteReportes();
}

void frmMessage::AdapteTitre(int typeMess)
{
    static const char *const titres[] = {"", "Fête ", "Anniversaire ", "Note"};
    if (typeMess < 1 || typeMess > 3)
        return;
    lblTitre->setText(QString::fromUtf8(titres[typeMess]));
    imgFete->setVisible(typeMess == 1);
    imgAnniv->setVisible(typeMess == 2);
    imgNote->setVisible(typeMess == 3);
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

void frmMessage::AfficheRappel()
{
    if (RappelSuivant() == 0)
        RameneProchainReporte();
    RecupNbMessages();
    Resultat rappel;
    try {
        rappel = ChargeRappelSuivant();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de l'afficage du message."));
        return;
    }
    if (!rappel.Vide())
        AdapteTitre(ConvertType(LitChamp(rappel.Valeur(0, QStringLiteral("Type")))));
    AfficheNbMessages();
    lblNombre->setText(QStringLiteral("%1/%2").arg(NumMessage).arg(TotalMessages));
    ++NumMessage;
    TraiteMessage(rappel);
}

void frmMessage::TraiteMessage(const Resultat &rappel)
{
    lblMsg->clear();
    m_numAffiche = 0;
    const TexteRappel texte = ComposeRappel(rappel, 0);
    if (!texte.valide) {
        MsgInfo(QStringLiteral("Erreur lors de l'afficage du message."));
        // A row that is gone can never be shown: step over it rather than stall on it.
        if (rappel.Vide())
            for (RappelDu &r : TabRappels)
                if (r.affiche == 0) {
                    r.affiche = 1;
                    break;
                }
        return;
    }
    if (texte.typeMess != 0) {
        lblMsg->setText(CoupableDansLesMots(texte.message));
        lblDate->setText(texte.ligneDate);
    }
    m_numAffiche = rappel.Valeur(0, QStringLiteral("NumRappel")).toInt();
    m_avant = LitEcheances(rappel, 0);
    m_salutation = SalutationCarte(LitChamp(rappel.Valeur(0, QStringLiteral("Type"))),
                                   LitChamp(rappel.Valeur(0, QStringLiteral("Libelle"))));
    ValideRappel();
}

void frmMessage::Form_Load()
{
    RecupNbMessages();
    NumMessage = 1;
    TotalMessages = NbMessages;
    NbLignes = 0;
    AfficheRappel();
    PlaceFenetre(this, GaucheMessage, HautMessage);
    CalculeEchelle();
    ModifieTailleMessage(NbLignesEntier());
    ModifieTailleFenetre(false);
}

void frmMessage::imgSuiv2_Click()
{
    imgSuiv.jumeau->hide();
    NbLignes = 0;
    AfficheRappel();
    ModifieTailleMessage(NbLignesEntier());
    ModifieTailleFenetre(true);
}

void frmMessage::Actualise()
{
    // The reminder on screen is already shown: it counts as the current one.
    RecupNbMessages();
    NbMessages += 1;
    TotalMessages = NumMessage - 1 + CompteRappelsNonAffiches();
    AfficheNbMessages();
    lblNombre->setText(QStringLiteral("%1/%2").arg(NumMessage - 1).arg(TotalMessages));
}

double frmMessage::HauteurMsgMax() const
{
    const QScreen *ecran = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!ecran)
        return 1e9;
    const QRect zone = ecran->availableGeometry();
    const double fenetreMax = Twips(zone.bottom() + 1) - HautMessage - 2 * TwipsParPixel * 4;
    const double facteur = FacteurPolice != 1.0f ? double(FacteurPolice) : 1.0;
    return std::max(186.0, fenetreMax * facteur / RapportFenetre - HautMsg - SousMsg);
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
    if (FacteurPolice != 1.0f) {
        m_hauteur /= FacteurPolice;
        if (!plusMessages)
            m_largeur /= FacteurPolice;
    }
    resize(Px(m_largeur), Px(m_hauteur));
    ArrondiFenetre(this, m_largeur, m_hauteur, RayonCoin(h));
    update();
}

void frmMessage::PlusTard(DelaiReport delai)
{
    if (m_numAffiche == 0)
        return;
    try {
        ReporteRappel(m_numAffiche, m_avant, MomentReport(delai, Maintenant()));
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la mise à jour des données. "));
        return;
    }
    m_numAffiche = 0;
    GuetteReports();
    if (CompteRappelsNonAffiches() > 0) {
        imgSuiv2_Click();
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
        imgSuiv2_Click();
        event->ignore();
        return;
    }
    event->accept();
    // Gone for the scan at once, even before its deletion.
    if (instance == this)
        instance = nullptr;
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
