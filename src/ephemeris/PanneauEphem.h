#pragma once
#include "ImageBouton.h"

#include <QCheckBox>
#include <array>

namespace oxi {

// A small dark-red disc that lights over the show/hide picture.
class Voyant : public QWidget
{
    Q_OBJECT
public:
    Voyant(const QString &nom, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;
};

// The ephemeris settings panel of the main window (fraEphem): one box per
// setting and the picture that shows or hides the enabled popups.
class PanneauEphem : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauEphem(QWidget *parent);

    // Ticks the boxes whose settings read "1"; each ticking acts as a click.
    void ChargeOptionsEphemerides();
    // "&Paramétrer": opens the popups of the ticked boxes, closing nothing, leaving Led alone.
    void OuvreCochees();
    // Click on imgVisu.
    void Bascule();

    QLabel *lblTitre1 = nullptr;
    std::array<QCheckBox *, 4> chkEph{};
    Image *imgVisu = nullptr;
    Voyant *Led = nullptr;

private:
    void EnregistreCase(int index);
};

// The panel built with the main window, for the tray menu; nullptr before.
PanneauEphem *PanneauEphemCourant();

} // namespace oxi
