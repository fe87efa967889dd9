#include "frmPremiereFois.h"
#include "Plateforme.h"
#include "Polices.h"
#include "Reglages.h"
#include "Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QScreen>

namespace oxi {

namespace {

const QString CRLF = QStringLiteral("\r\n");

// The main window lives in a layer above this one: found by its name.
QWidget *FenetrePrincipale()
{
    for (QWidget *fenetre : QApplication::topLevelWidgets())
        if (fenetre->objectName() == QLatin1String("frmAccueil"))
            return fenetre;
    return nullptr;
}

} // namespace

frmPremiereFois::frmPremiereFois()
{
    setObjectName(QStringLiteral("frmPremiereFois"));
    setWindowTitle(QStringLiteral("Oxi Free - Première utilisation"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Px(5448), Px(3288));
    setMouseTracking(true);
    QPalette fond = palette();
    fond.setColor(QPalette::Window, Qt::white);
    setPalette(fond);
    setAutoFillBackground(true);

    lblTexteAccueil = new QLabel(this);
    lblTexteAccueil->setObjectName(QStringLiteral("lblTexteAccueil"));
    lblTexteAccueil->setFont(Police(QStringLiteral("Tahoma"), 8));
    lblTexteAccueil->setWordWrap(true);
    lblTexteAccueil->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(lblTexteAccueil, 240, 240, 4572, 2292);
    lblTexteAccueil->setText(TexteAccueil());
    // The fonts standing in for Tahoma run wider: the label grows down rather than cut the text.
    lblTexteAccueil->resize(lblTexteAccueil->width(),
                            qMax(lblTexteAccueil->height(), lblTexteAccueil->heightForWidth(lblTexteAccueil->width())));

    chkRappel = new QCheckBox(QStringLiteral("Afficher au prochain démarrage"), this);
    chkRappel->setObjectName(QStringLiteral("chkRappel"));
    chkRappel->setFont(Police(QStringLiteral("Tahoma"), 8));
    chkRappel->setChecked(true);
    PlaceTwips(chkRappel, 240, 2760, 2652, 192);
    // The designed height is that of the platform's smaller box: keep its middle.
    const int hauteur = qMax(chkRappel->height(), chkRappel->sizeHint().height());
    const int largeur = qMax(chkRappel->width(), chkRappel->sizeHint().width());
    chkRappel->setGeometry(chkRappel->x(), chkRappel->y() + (chkRappel->height() - hauteur) / 2, largeur, hauteur);

    imgAide = CreePaire(this, QStringLiteral("imgAide1"), QStringLiteral(":/dialogs/aide.svg"), 4920, 480, 288, 288,
                        QStringLiteral("imgAide2"));
    imgAide.jumeau->setToolTip(QStringLiteral("Aide"));
    connect(imgAide.jumeau, &Image::clic, this, &frmPremiereFois::MontreAide);

    Image1 = new Image(QStringLiteral("Image1"), QStringLiteral(":/dialogs/logo.svg"), this);
    PlaceTwips(Image1, 4860, 2280, 432, 432);

    // Top fixed, the window centred across the screen.
    if (const QScreen *ecran = QGuiApplication::primaryScreen()) {
        const QRect zone = ecran->availableGeometry();
        move(zone.x() + (zone.width() - width()) / 2, zone.y() + Px(1000));
    }
}

QString frmPremiereFois::TexteAccueil()
{
    return QStringLiteral("Merci d'avoir choisi Oxi Free.") + CRLF + CRLF
        + QStringLiteral("Pour une première utilisation, il est conseillé d'utiliser l'aide Oxi.") + CRLF + CRLF
        + QStringLiteral("Cependant, vous avez accès aux différentes fonctions par un clic-droit sur l'icône situé "
                         "dans la barre de démarrage, près de l'horloge...")
        + CRLF + QStringLiteral("Dans le menu A Propos, vous retrouverez l'adresse du site Web.") + CRLF + CRLF
        + QStringLiteral("Bonne journée.");
}

void frmPremiereFois::MontreAide()
{
    // The main window comes forward and its help key opens the help; this window stays.
    if (QWidget *principale = FenetrePrincipale()) {
        if (principale->isMinimized())
            principale->showNormal();
        else
            principale->show();
        principale->raise();
        principale->activateWindow();
        principale->setFocus();
        QCoreApplication::postEvent(principale, new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
        QCoreApplication::postEvent(principale, new QKeyEvent(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier));
    } else {
        OuvreAide();
    }
}

void frmPremiereFois::closeEvent(QCloseEvent *event)
{
    if (!chkRappel->isChecked())
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
    QWidget::closeEvent(event);
}

void frmPremiereFois::mouseMoveEvent(QMouseEvent *event)
{
    imgAide.jumeau->hide();
    QWidget::mouseMoveEvent(event);
}

} // namespace oxi
