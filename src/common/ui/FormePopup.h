#pragma once
#include <QWidget>
#include <initializer_list>

// Shape and place shared by the four small frameless popups (the reminder
// popup and the three daily popups): scale factor, rounded outline, fixed places.
namespace oxi {

// True exactly when the logical horizontal resolution of the primary screen is 96 dpi.
bool EstPetitesPolices();
// The popups' scale: 120 / d, d = 96 when EstPetitesPolices, else 120
// (1.25 at exactly 96 dpi, else 1.0), read from the screen each time.
float FacteurPolice();
// For tests: makes EstPetitesPolices read `dpi` instead of the screen; 0 reads the screen again.
void FixeResolutionLogique(int dpi);

// Corner diameter in pixels for an outline `hauteurShape` twips high:
// round(h × 35 × 1.25 / (FacteurPolice × 2300)), halves to even.
int RayonCoin(double hauteurShape, float facteur = FacteurPolice());

// Makes the window's visible area the rounded rectangle (0, 0) to
// (round(largeur / 15), round(hauteur / 15)) pixels with an r × r corner ellipse,
// sizes in twips at 15 twips per pixel whatever the resolution.
void ArrondiFenetre(QWidget *fenetre, double largeurTwips, double hauteurTwips, int r);

// Places the window's top-left corner, in twips from the screen's top-left corner.
void PlaceFenetre(QWidget *fenetre, double gaucheTwips, double hautTwips);

// Width of the primary screen in twips.
double LargeurEcranTwips();

// Placement rule.
constexpr int GaucheMessage = 500;
constexpr int HautMessage = 1000;
constexpr int HautPremierPopup = 1000;
// Left edge of the daily popups: screen width - 3336.
double GaucheEphemeride();

// A popup above in the right-hand column: whether it is loaded, its top and its Shape1 height (twips).
struct PopupAuDessus
{
    bool affiche = false;
    double haut = 0;
    double hauteurShape = 0;
};
// Top of a daily popup: under the nearest loaded popup above (listed nearest first),
// its top + its Shape1 height + 200; 1000 when none is loaded.
double HautSous(std::initializer_list<PopupAuDessus> auDessus);

// The rounding step a daily popup runs at the end of its loading, after its sizes are set:
// outer size divided by FacteurPolice when not 1; placement at
// (gauche, haut) twips; rounded outline from `hauteurShape`.
// `largeurTwips`/`hauteurTwips` are the window's size before scaling.
// Returns the window's final size in twips.
QSizeF ArronditPopup(QWidget *fenetre, double largeurTwips, double hauteurTwips, double hauteurShape, double gauche, double haut);

// Shape1: the white face of a popup, a rounded rectangle outlined in dark blue (0, 0, 128),
// drawn from the popup's top-left corner, under the labels.
class FormePopup : public QWidget
{
    Q_OBJECT
public:
    explicit FormePopup(QWidget *parent);
    // Sets the outline's height (and width) in twips; the height drives the corners.
    void ChangeTaille(double largeurTwips, double hauteurTwips);
    double HauteurTwips() const { return m_hauteur; }
    double LargeurTwips() const { return m_largeur; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_largeur = 0;
    double m_hauteur = 0;
};

} // namespace oxi
