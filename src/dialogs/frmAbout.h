#pragma once
#include "ImageBouton.h"

#include <QGroupBox>
#include <QPushButton>

namespace oxi {

// The about box: version, credits, the two web addresses and the system information.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    frmAbout();

    // "Version " and the program's major and minor numbers.
    static QString TexteVersion();

    void StartSysInfo();

    QGroupBox *fraAccueil = nullptr;
    PaireImages imgLogo;
    QLabel *lblVersion = nullptr;
    QLabel *lblLibelle = nullptr;
    QLabel *Label1 = nullptr;
    LienTexte *lblWeb = nullptr;
    QLabel *Label2 = nullptr;
    LienTexte *lblWeb2 = nullptr;
    LienTexte *lblInfos = nullptr;
    QPushButton *cmdSysInfo = nullptr;

protected:
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void EclaireInfos(bool eclaire);
};

} // namespace oxi
