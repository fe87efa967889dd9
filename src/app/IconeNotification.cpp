#include "IconeNotification.h"
#include "Constantes.h"
#include "Demarrage.h"
#include "Ephemerides.h"
#include "IconeOxi.h"
#include "Plateforme.h"
#include "frmAccueil.h"

#include <QResource>

namespace oxi {

namespace {
// Watch for a panel started after us for two minutes.
constexpr int IntervalleGuetMs = 2000;
constexpr int EssaisGuet = 60;

// The sizes drawn when the program was built, read in place from the resource.
QIcon IconeOxi()
{
    const QResource pixels(QStringLiteral(":/app/oxi.argb"));
    const uchar *donnees = pixels.data();
    qint64 debut = 0;
    QIcon icone;
    for (const int taille : TaillesIconeOxi) {
        const qint64 octets = qint64(taille) * taille * 4;
        if (pixels.compressionAlgorithm() != QResource::NoCompression || debut + octets > pixels.size())
            break;
        icone.addPixmap(QPixmap::fromImage(QImage(donnees + debut, taille, taille, QImage::Format_ARGB32_Premultiplied)));
        debut += octets;
    }
    return icone;
}
} // namespace

IconeNotification::IconeNotification(frmAccueil *fenetre, Programme &programme)
    : QObject(fenetre), m_fenetre(fenetre), m_programme(programme), m_icone(new QSystemTrayIcon(this)), m_menu(new QMenu(fenetre))
{
    // The icon in the notification area is the main window's own.
    m_fenetre->setWindowIcon(IconeOxi());
    m_icone->setIcon(m_fenetre->windowIcon());
    m_icone->setToolTip(TitreAppli);
    ConstruitMenu();
    m_icone->setContextMenu(m_menu);
    connect(m_icone, &QSystemTrayIcon::activated, this, &IconeNotification::Active);
    // Without a notification area the window is the only way in: a right-click
    // in it offers the same menu.
    m_fenetre->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fenetre, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_menu->popup(m_fenetre->mapToGlobal(pos)); });
    m_guet.setInterval(IntervalleGuetMs);
    connect(&m_guet, &QTimer::timeout, this, &IconeNotification::GuetteZone);
}

void IconeNotification::ConstruitMenu()
{
    m_menu->setObjectName(QStringLiteral("mnuFichiers"));
    m_menu->setTitle(QStringLiteral("Menu"));
    auto ajoute = [this](const char *nom, const QString &texte, auto action) {
        QAction *item = m_menu->addAction(texte);
        item->setObjectName(QString::fromLatin1(nom));
        connect(item, &QAction::triggered, this, action);
    };
    ajoute("mnuParametrer", QStringLiteral("&Paramétrer"), [this] {
        m_fenetre->Montre();
        OuvreEphemeridesCochees();
    });
    m_menu->addSeparator()->setObjectName(QStringLiteral("mnutiret"));
    ajoute("mnuEphem", QStringLiteral("&Ephémérides"), [] { AfficheEphemerides(); });
    ajoute("mnuAide", QStringLiteral("&Aide"), [this] {
        m_fenetre->Montre();
        OuvreAide();
    });
    ajoute("mnuAPropos", QStringLiteral("A propo&s"), [this] { m_programme.Fenetres().AfficheAPropos(); });
    ajoute("mnuQuitter", QStringLiteral("&Quitter"), [this] { m_programme.Quitte(); });
}

void IconeNotification::GereIcone(bool ajoute)
{
    if (!ajoute) {
        m_guet.stop();
        m_icone->hide();
        return;
    }
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_icone->show();
        return;
    }
    m_fenetre->FixeSansZoneNotification(true);
    m_fenetre->Montre();
    m_essais = 0;
    m_guet.start();
}

void IconeNotification::GuetteZone()
{
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_guet.stop();
        m_icone->show();
        m_fenetre->FixeSansZoneNotification(false);
    } else if (++m_essais >= EssaisGuet) {
        m_guet.stop();
    }
}

void IconeNotification::Active(QSystemTrayIcon::ActivationReason raison)
{
    if (raison == QSystemTrayIcon::DoubleClick)
        m_fenetre->Montre();
}

} // namespace oxi
