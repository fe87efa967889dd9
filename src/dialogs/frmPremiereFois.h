#pragma once
#include "ImageBouton.h"

#include <QCheckBox>
#include <QWidget>

namespace oxi {

// The welcome window shown at start-up until the user clears its box.
class frmPremiereFois : public QWidget
{
    Q_OBJECT
public:
    frmPremiereFois();

    // The welcome text, lines joined by CR LF.
    static QString TexteAccueil();

    void MontreAide();

    QLabel *lblTexteAccueil = nullptr;
    QCheckBox *chkRappel = nullptr;
    PaireImages imgAide;
    Image *Image1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace oxi
