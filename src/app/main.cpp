#include "Constantes.h"
#include "ContexteDonnees.h"
#include "Demarrage.h"
#include "DeriveCle.h"
#include "LigneCommande.h"
#include "MessagerieQt.h"
#include "Polices.h"
#include "TraductionDifferee.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <malloc.h>

namespace {

// Where the main file most likely is, told before Qt can give the paths:
// beside the executable, else in the user's data folder of an installed
// program. A wrong guess only costs a key derivation done for nothing.
QString BaseProbable()
{
    const QFileInfo executable(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath());
    const QString voisine = executable.absolutePath() + QLatin1Char('/') + oxi::NomBaseDefaut;
    if (QFileInfo::exists(voisine))
        return voisine;
    QString donnees = qEnvironmentVariable("XDG_DATA_HOME");
    if (donnees.isEmpty() || QDir::isRelativePath(donnees))
        donnees = QDir::homePath() + QStringLiteral("/.local/share");
    return donnees + QLatin1Char('/') + executable.completeBaseName() + QLatin1Char('/') + oxi::NomBaseDefaut;
}

} // namespace

int main(int argc, char **argv)
{
    // One malloc arena: the key derivation's threads live a few milliseconds
    // and would each leave an arena of their own behind for the whole session.
    mallopt(M_ARENA_MAX, 1);
    // What the process shares, before anything reads it (the key derivation below does).
    oxi::ContexteDonnees contexte;
    // Terminals and scripts: no window, no widgets, no instance test.
    if (oxi::EstLigneCommande(argc, argv)) {
        // Only the modes that open the file start its key derivation ahead.
        for (int i = 1; i < argc; ++i) {
            const QByteArray a(argv[i]);
            if (a.startsWith("--aujourdhui") || a.startsWith("--exporter") || a.startsWith("--importer")) {
                oxi::PrepareCle(BaseProbable(), oxi::CleBase);
                break;
            }
        }
        QCoreApplication app(argc, argv);
        return oxi::ExecuteLigneCommande();
    }

    // The popups have fixed places, which Wayland does not allow: go through XWayland.
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY")
        && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    // The key derivation of the main file, the longest step of a start, runs
    // on a second core while Qt starts; the open after the instance test
    // picks up its result.
    oxi::PrepareCle(BaseProbable(), oxi::CleBase);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    oxi::TraductionDifferee traduction;
    app.installTranslator(&traduction);
    oxi::InstallePolices();
    oxi::MessagerieQt messages;
    oxi::InstalleMessagerie(&messages);
    oxi::Programme programme;
    if (!programme.Demarre() || programme.EstQuitte())
        return 0;
    const int code = app.exec();
    oxi::InstalleMessagerie(nullptr);
    return code;
}
