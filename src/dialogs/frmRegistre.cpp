#include "frmRegistre.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Messagerie.h"
#include "Plateforme.h"
#include "Polices.h"
#include "Reglages.h"
#include "Twips.h"

namespace oxi {

namespace {

QString OuiNon(bool oui)
{
    return oui ? QStringLiteral("Oui") : QStringLiteral("Non");
}

} // namespace

frmRegistre::frmRegistre()
{
    setObjectName(QStringLiteral("frmRegistre"));
    setWindowTitle(QStringLiteral("Valeurs du registre"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Px(6348), Px(2784));
    setFont(Police(QStringLiteral("MS Sans Serif"), 8));

    fraAut = new QFrame(this);
    fraAut->setObjectName(QStringLiteral("fraAut"));
    fraAut->setFrameShape(QFrame::Box);
    fraAut->setFrameShadow(QFrame::Sunken);
    PlaceTwips(fraAut, 240, 240, 3372, 852);

    Label1 = new QLabel(QStringLiteral("Mot de passe :"), fraAut);
    Label1->setObjectName(QStringLiteral("Label1"));
    PlaceTwips(Label1, 120, 360, 1092, 252);
    // The font standing in for MS Sans Serif runs wider: the colon must not be cut.
    Label1->resize(qMax(Label1->width(), Label1->sizeHint().width()), Label1->height());

    txtPass = new QLineEdit(fraAut);
    txtPass->setObjectName(QStringLiteral("txtPass"));
    txtPass->setEchoMode(QLineEdit::Password);
    // Masked with stars, whatever bullet the style would draw.
    txtPass->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    PlaceTwips(txtPass, 1320, 340, 1212, 288);
    // Clear of the caption's end, the box keeps its right edge.
    const int finLegende = Label1->x() + Label1->fontMetrics().horizontalAdvance(Label1->text()) + 6;
    if (txtPass->x() < finLegende)
        txtPass->setGeometry(finLegende, txtPass->y(), txtPass->geometry().right() + 1 - finLegende, txtPass->height());

    cmdOK = new QPushButton(QStringLiteral("OK"), fraAut);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    PlaceTwips(cmdOK, 2640, 360, 372, 252);

    lblReg = new QLabel(this);
    lblReg->setObjectName(QStringLiteral("lblReg"));
    lblReg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblReg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    PlaceTwips(lblReg, 240, 360, 5772, 2172);
    lblReg->hide();

    connect(cmdOK, &QPushButton::clicked, this, &frmRegistre::TestPassword);
    connect(txtPass, &QLineEdit::returnPressed, this, &frmRegistre::TestPassword);
    txtPass->setFocus();
}

void frmRegistre::TestPassword()
{
    if (txtPass->text() != CleBase) {
        MsgInfo(QStringLiteral("Mot de pass incorrect !"));
        txtPass->clear();
        txtPass->setFocus();
        return;
    }
    fraAut->hide();
    Affichage();
}

void frmRegistre::Affichage()
{
    // Shown line by line: a label draws a lone CR as a visible mark.
    lblReg->setText(TexteRegistre().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    lblReg->show();
}

QString frmRegistre::TexteRegistre()
{
    const QStringList lignes{
        QStringLiteral("Base de donnée: ") + CheminAppli() + NomBase(),
        QStringLiteral("Lancement automatique: ") + OuiNon(PlateformeCourante().TestDemarrage(NomAppli())),
        // The only line whose "Oui" stands for anything but "1": the window shows unless told not to.
        QStringLiteral("Affichage de la fenêtre 1ère fois: ") + OuiNon(!ReglageOui(ReglagePremiereFois)),
        QStringLiteral("Affichage des éphémérides: ") + OuiNon(ReglageOui(ReglageEphemerides)),
        QStringLiteral("Affichage des fêtes: ") + OuiNon(ReglageOui(ReglageFetes)),
        QStringLiteral("Affichage des dictons: ") + OuiNon(ReglageOui(ReglageDictons)),
        QStringLiteral("Affichage des infos mois: ") + OuiNon(ReglageOui(ReglageMois)),
    };
    return lignes.join(QStringLiteral("\r\n"));
}

} // namespace oxi
