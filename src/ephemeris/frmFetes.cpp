#include "frmFetes.h"
#include "Base.h"
#include "Ephemerides.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "Polices.h"
#include "RequetesEphem.h"
#include "TexteLignes.h"
#include "Twips.h"

#include <QCloseEvent>

namespace oxi {

namespace {
const QString Demain = QStringLiteral("DEMAIN: ");
}

frmFetes::frmFetes() : PopupEphem(QStringLiteral("frmFetes"), QStringLiteral("Oxi - Fêtes"))
{
    auto paire = CreePaire(this, QStringLiteral("imgFetes"), QStringLiteral(":/ephemeris/fetes.svg"), 30, 120, 540, 336);
    imgFetes = paire.image;
    imgFetes2 = paire.jumeau;
    imgFetes->setToolTip(QStringLiteral("Afficher Paramètres"));
    imgFetes2->setToolTip(QStringLiteral("Afficher Paramètres"));
    imgFetes2->setCursor(Qt::PointingHandCursor);
    imgFetes2->installEventFilter(this);
    connect(imgFetes2, &Image::clic, this, [this] {
        imgFetes2->hide();
        AfficheAccueilDepuisEphemerides();
    });

    lblDate = Etiquette(QStringLiteral("lblDate"), QStringLiteral("Jeudi 6 novembre"), Police(QStringLiteral("Verdana"), 8, true),
                        520, 240, 2172, 252);
    lblDate->setAlignment(Qt::AlignCenter);
    lblHeure =
        Etiquette(QStringLiteral("lblHeure"), QStringLiteral("21:30"), Police(QStringLiteral("Verdana"), 8), 0, 480, 2892, 252);
    lblHeure->setAlignment(Qt::AlignCenter);
    lblHeure->installEventFilter(this);
    Label1 = Etiquette(QStringLiteral("Label1"), QStringLiteral("Fête à souhaiter"), PoliceTitre(14), 120, 720, 2772, 372);
    Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    lblFet = Etiquette(QStringLiteral("lblFet"), QString(), Police(QStringLiteral("Arial"), 9), 120, 1200, 2652, 852);
    lblFet->setWordWrap(true);
    lblFet->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Shape1->ChangeTaille(LargeurShapeEphem, 2292);
    connect(lblQuit, &EtiquetteQuitter::clic, this, &frmFetes::FermePopups);

    RechercheDate();
    MetAJourHeure();
    RechercheFetes();
    Termine(m_hauteurFenetre, HautPremierPopup);
}

frmFetes *frmFetes::Ouverte()
{
    return PopupOuverte<frmFetes>();
}

void frmFetes::MetAJourHeure()
{
    lblHeure->setText(Maintenant().toString(QStringLiteral("hh:mm")));
}

void frmFetes::RechercheDate()
{
    lblDate->setText(LibelleDate(Aujourdhui()));
}

// A failure stops the search where it is and is reported; what was filled stays.
void frmFetes::RechercheFetes()
{
    try {
        lblFet->clear();
        const QDate jour = Aujourdhui();
        const NomsDuJour aujourdhui = LitNomsDuJour(jour);
        double lignes = 1;
        lblFet->setText(CompteLignes(aujourdhui.noms, 30, lignes));
        if (aujourdhui.parts > 1)
            Label1->setText(QStringLiteral("Fêtes à souhaiter"));
        ModifieTailleNoms(ArrondiPair(lignes));
        ModifieTailleFenetre();

        const NomsDuJour demain = LitNomsDemain(jour);
        if (!demain.trouve)
            return;
        Label1->setToolTip(Demain + demain.noms);
        lblFet->setToolTip(Demain + demain.noms);
    } catch (const ErreurBase &) {
        MsgCritique(QStringLiteral("Erreur lors du chargement de l'éphéméride."));
    }
}

void frmFetes::ModifieTailleNoms(int nb)
{
    m_hauteurNoms = nb * 220;
    PlaceTwips(lblFet, 120, 1200, 2652, m_hauteurNoms);
}

void frmFetes::ModifieTailleFenetre()
{
    const int h = ArrondiPair(1200 + m_hauteurNoms + 140);
    Shape1->ChangeTaille(LargeurShapeEphem, h);
    m_hauteurFenetre = HauteurFenetrePour(h);
    update();
}

void frmFetes::FermePopups()
{
    FermeEphemerides();
}

void frmFetes::SurvolFond()
{
    imgFetes2->hide();
    PopupEphem::SurvolFond();
}

bool frmFetes::eventFilter(QObject *objet, QEvent *event)
{
    if ((objet == imgFetes2 && event->type() == QEvent::Leave)
        || (objet == lblHeure && (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove)))
        SurvolFond();
    return PopupEphem::eventFilter(objet, event);
}

} // namespace oxi
