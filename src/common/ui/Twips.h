#pragma once
#include <QRect>

// Geometry of the windows is given in twips; Qt works in device-independent
// pixels, 15 twips each. HiDPI scaling is Qt's business.
namespace oxi {

constexpr double TwipsParPixel = 15.0;

int Px(double twips);
double Twips(int pixels);
QRect RectTwips(int gauche, int haut, int largeur, int hauteur);

} // namespace oxi

class QFont;
class QLabel;
class QString;
class QWidget;
namespace oxi {
// Sets a widget's geometry from twips.
void PlaceTwips(QWidget *widget, int gauche, int haut, int largeur, int hauteur);
// A named label in that font, placed in twips.
QLabel *EtiquetteTwips(QWidget *parent, const QString &nom, const QString &texte, const QFont &police, int gauche, int haut,
                       int largeur, int hauteur);
} // namespace oxi
