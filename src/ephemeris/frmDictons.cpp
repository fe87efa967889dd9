#include "frmDictons.h"
#include "Horloge.h"
#include "Polices.h"
#include "RequetesEphem.h"
#include "TexteLignes.h"
#include "Twips.h"
#include "frmFetes.h"

#include <QCloseEvent>

namespace oxi {

frmDictons::frmDictons() : PopupEphem(QStringLiteral("frmDictons"), QStringLiteral("Oxi - Dictons"))
{
    Label1 = Etiquette(QStringLiteral("Label1"), QStringLiteral("Dicton"), PoliceTitre(14), 360, 120, 2295, 375);
    Label1->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    lblDict = Etiquette(QStringLiteral("lblDict"), QString(), Police(QStringLiteral("Arial"), 9), 240, 600, 2652, 852);
    lblDict->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Shape1->ChangeTaille(LargeurShapeEphem, 1692);
    connect(lblQuit, &EtiquetteQuitter::clic, this, &QWidget::close);

    RechercheDictons();
    Termine(m_hauteurFenetre, Placement());
}

frmDictons *frmDictons::Ouverte()
{
    return PopupOuverte<frmDictons>();
}

void frmDictons::RechercheDictons()
{
    const DictonDuJour dicton = LitDicton(Aujourdhui());
    lblDict->clear();
    // No saying for today: one empty line.
    double lignes = 1;
    if (dicton.trouve) {
        QString texte = dicton.texte;
        // The label breaks lines at LF alone.
        lblDict->setText(DecoupeLignes(texte, 28, lignes).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    }
    if (dicton.dictons > 1)
        Label1->setText(QStringLiteral("Dictons"));
    ModifieTailleDictons(ArrondiPair(lignes));
    ModifieTailleFenetre();
}

void frmDictons::ModifieTailleDictons(int nb)
{
    m_hauteurDicton = nb * 220;
    PlaceTwips(lblDict, 240, 600, 2652, m_hauteurDicton);
}

void frmDictons::ModifieTailleFenetre()
{
    const int h = ArrondiPair(600 + m_hauteurDicton + 200);
    Shape1->ChangeTaille(LargeurShapeEphem, h);
    m_hauteurFenetre = HauteurFenetrePour(h);
    update();
}

double frmDictons::Placement() const
{
    const frmFetes *fetes = frmFetes::Ouverte();
    return HautSous({fetes ? fetes->CommeAuDessus() : PopupAuDessus{}});
}

} // namespace oxi
