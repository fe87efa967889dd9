#include "Twips.h"

#include <QLabel>
#include <QWidget>
#include <cmath>

namespace oxi {

int Px(double twips)
{
    return static_cast<int>(std::lround(twips / TwipsParPixel));
}

double Twips(int pixels)
{
    return pixels * TwipsParPixel;
}

QRect RectTwips(int gauche, int haut, int largeur, int hauteur)
{
    return {Px(gauche), Px(haut), Px(largeur), Px(hauteur)};
}

void PlaceTwips(QWidget *widget, int gauche, int haut, int largeur, int hauteur)
{
    widget->setGeometry(RectTwips(gauche, haut, largeur, hauteur));
}

QLabel *EtiquetteTwips(QWidget *parent, const QString &nom, const QString &texte, const QFont &police, int gauche, int haut,
                       int largeur, int hauteur)
{
    auto *etiquette = new QLabel(texte, parent);
    etiquette->setObjectName(nom);
    etiquette->setFont(police);
    PlaceTwips(etiquette, gauche, haut, largeur, hauteur);
    return etiquette;
}

} // namespace oxi
