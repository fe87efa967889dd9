#pragma once
#include "FormePopup.h"

#include <QApplication>
#include <QLabel>

namespace oxi {

// The "X" of a popup: light grey while the pointer is on it, black otherwise.
class EtiquetteQuitter : public QLabel
{
    Q_OBJECT
public:
    explicit EtiquetteQuitter(QWidget *parent);
    void Colore(const QColor &couleur);

Q_SIGNALS:
    void clic();

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// What the three daily popups share: a frameless window whose face is Shape1,
// the close label, and the place it was given in the right-hand column.
class PopupEphem : public QWidget
{
    Q_OBJECT
public:
    // Top of the window in twips, as placed at loading.
    double HautTwips() const { return m_haut; }
    // Outer size in twips after the scaling of the loading.
    QSizeF TailleTwips() const { return m_taille; }
    // Loaded: set last in the loading, so that the popups under it stack below.
    bool EstCharge() const { return m_charge; }
    // The popup's entry for the stacking of the ones under it.
    PopupAuDessus CommeAuDessus() const { return {m_charge, m_haut, Shape1->HauteurTwips()}; }

    FormePopup *Shape1 = nullptr;
    EtiquetteQuitter *lblQuit = nullptr;

protected:
    PopupEphem(const QString &nom, const QString &titre);
    // A label on the face, transparent, at a place in twips.
    QLabel *Etiquette(const QString &nom, const QString &texte, const QFont &police, int gauche, int haut, int largeur,
                      int hauteur);
    // The last steps of the loading: scale, place at `haut`, round; then loaded.
    void Termine(double hauteurTwips, double haut);
    void mouseMoveEvent(QMouseEvent *event) override;
    // The pointer is over the window's own background.
    virtual void SurvolFond();

private:
    double m_haut = 0;
    QSizeF m_taille;
    bool m_charge = false;
};

// The open popup of class `Fenetre` (shown, not closed), or nullptr. Qt's list of
// windows is the only record kept, so a closed or deleted popup is never returned.
template <class Fenetre> Fenetre *PopupOuverte()
{
    for (QWidget *fenetre : QApplication::topLevelWidgets())
        if (auto *popup = qobject_cast<Fenetre *>(fenetre); popup && popup->isVisible())
            return popup;
    return nullptr;
}

// The bold title font of the popups and of the panel.
QFont PoliceTitre(double points);

// A one-line label whose text is wider than the label: its font shrinks,
// down to a floor, rather than the text being cut.
void AjustePolice(QLabel *label, double pointsMin = 7);

// Width of a daily popup's outline and of its window before scaling, in twips.
constexpr int LargeurShapeEphem = 3036;
constexpr int LargeurFenetreEphem = 3816;
// Window height for an outline of `h` twips.
inline double HauteurFenetrePour(double h)
{
    return h / 1950 * 506 + h;
}

} // namespace oxi
