#include "Demarrage.h"
#include "MessagerieQt.h"
#include "Polices.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char **argv)
{
    // The popups have fixed places, which Wayland does not allow: go through XWayland.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY")
        && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // Qt's own buttons and dialogs in French ("Oui", "Non", the file chooser).
    QTranslator traduction;
    if (traduction.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(&traduction);
    oxi::InstallePolices();
    oxi::MessagerieQt messages;
    oxi::InstalleMessagerie(&messages);
    if (!oxi::Demarre())
        return 0;
    const int code = app.exec();
    oxi::InstalleMessagerie(nullptr);
    return code;
}
