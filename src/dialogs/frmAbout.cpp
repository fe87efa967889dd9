#include "frmAbout.h"
#include "Constantes.h"
#include "Messagerie.h"
#include "Plateforme.h"
#include "Polices.h"
#include "Twips.h"

#include <QMouseEvent>

namespace oxi {

frmAbout::frmAbout()
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("À propos d'Oxi Free"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Px(6600), Px(3096));
    setMouseTracking(true);
    QPalette fond = palette();
    fond.setColor(QPalette::Window, Qt::white);
    setPalette(fond);
    setAutoFillBackground(true);

    fraAccueil = new QGroupBox(QStringLiteral("Accueil"), this);
    fraAccueil->setObjectName(QStringLiteral("fraAccueil"));
    fraAccueil->setFont(Police(QStringLiteral("MS Sans Serif"), 8));
    PlaceTwips(fraAccueil, 120, 120, 2292, 1692);
    imgLogo = CreePaire(fraAccueil, QStringLiteral("imgLogo"), QStringLiteral(":/dialogs/logo.svg"), 570, 300, 1152, 1152);

    lblVersion = new QLabel(TexteVersion(), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setFont(Police(QStringLiteral("Berthold Garamond"), 14, true));
    lblVersion->setAlignment(Qt::AlignCenter);
    PlaceTwips(lblVersion, 120, 1800, 2412, 372);

    lblLibelle = new QLabel(QStringLiteral("Oxi Free : anniversaires, fêtes et notes\n- Conception et Réalisation -"), this);
    lblLibelle->setObjectName(QStringLiteral("lblLibelle"));
    lblLibelle->setFont(Police(QStringLiteral("Tahoma"), 8));
    lblLibelle->setAlignment(Qt::AlignCenter);
    lblLibelle->setWordWrap(true);
    PlaceTwips(lblLibelle, 2640, 240, 3612, 732);

    Label1 = new QLabel(QStringLiteral("Site Web de Oxi:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Police(QStringLiteral("Tahoma"), 8, true));
    PlaceTwips(Label1, 2760, 1080, 1692, 252);

    lblWeb = new LienTexte(QStringLiteral("lblWeb"), TexteSite(), this);
    lblWeb->setFont(Police(QStringLiteral("Tahoma"), 8));
    lblWeb->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    PlaceTwips(lblWeb, 3000, 1320, 3252, 252);

    // The partner's postcard site is gone: a card is an e-mail from the user's own program.
    Label2 = new QLabel(QStringLiteral("Carte à un proche :"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(Police(QStringLiteral("Tahoma"), 8, true));
    PlaceTwips(Label2, 2760, 1680, 2292, 252);

    lblWeb2 = new LienTexte(QStringLiteral("lblWeb2"), QStringLiteral("Envoyer une carte par courriel"), this);
    lblWeb2->setFont(Police(QStringLiteral("Tahoma"), 8));
    lblWeb2->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    PlaceTwips(lblWeb2, 3000, 1920, 3252, 252);

    lblInfos = new LienTexte(QStringLiteral("lblInfos"), QStringLiteral("Infos système..."), this);
    lblInfos->setFont(Police(QStringLiteral("Verdana"), 8));
    lblInfos->setAlignment(Qt::AlignCenter);
    PlaceTwips(lblInfos, 4320, 2544, 1812, 252);
    EclaireInfos(false);

    cmdSysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setFont(Police(QStringLiteral("MS Sans Serif"), 8));
    PlaceTwips(cmdSysInfo, 240, 2520, 1605, 345);

    for (LienTexte *lien : {lblWeb, lblWeb2, lblInfos})
        lien->setCursor(Qt::PointingHandCursor);
    connect(lblWeb, &LienTexte::clic, this, [] { PlateformeCourante().OuvreDocument(AdresseSite()); });
    connect(lblWeb2, &LienTexte::clic, this, [] { EnvoieCarte(QString()); });
    connect(lblInfos, &LienTexte::clic, this, &frmAbout::StartSysInfo);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(lblInfos, &LienTexte::survol, this, [this] { EclaireInfos(true); });
}

QString frmAbout::TexteVersion()
{
    const QStringList numeros = QStringLiteral(OXI_VERSION).split(QLatin1Char('.'));
    return QStringLiteral("Version %1.%2").arg(numeros.value(0).toInt()).arg(numeros.value(1).toInt());
}

void frmAbout::StartSysInfo()
{
    if (!PlateformeCourante().LanceInfosSysteme())
        MsgSimple(QStringLiteral("Les informations système ne sont pas disponibles actuellement"));
}

void frmAbout::mouseMoveEvent(QMouseEvent *event)
{
    EclaireInfos(false);
    imgLogo.jumeau->hide();
    QWidget::mouseMoveEvent(event);
}

// Lit, the link reads white on dark blue; at rest, dark blue on the window's white.
void frmAbout::EclaireInfos(bool eclaire)
{
    lblInfos->setStyleSheet(eclaire ? QStringLiteral("color: rgb(255, 255, 255); background: rgb(0, 0, 128);")
                                    : QStringLiteral("color: rgb(0, 0, 128); background: transparent;"));
    lblInfos->setProperty("eclaire", eclaire);
}

} // namespace oxi
