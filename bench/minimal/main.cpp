// The yardstick of the start-up figures: a Qt Widgets program that shows a
// tray icon with a menu and a hidden window, and nothing else.
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QWidget fenetre;
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter peintre(&image);
    peintre.setBrush(Qt::darkBlue);
    peintre.drawEllipse(2, 2, 28, 28);
    peintre.end();
    QMenu menu;
    menu.addAction(QStringLiteral("Quitter"), &app, &QApplication::quit);
    QSystemTrayIcon icone{QIcon(image)};
    icone.setContextMenu(&menu);
    icone.setToolTip(QStringLiteral("minimal"));
    icone.show();
    return app.exec();
}
