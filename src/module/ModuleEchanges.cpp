#include "ModuleEchanges.h"
#include "Messagerie.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPluginLoader>

namespace oxi {

namespace {

const QString NomModule = QStringLiteral("oxi-echanges.so");

// Beside the executable (the build folder, `make run`), then the library folder
// of an installed program, found from the executable's own folder as the help
// is: a package built for another prefix stays whole.
QStringList DossiersModule()
{
    const QString executable = QCoreApplication::applicationDirPath();
    return {executable, QDir::cleanPath(executable + QStringLiteral("/" OXI_MODULE_RELATIF))};
}

} // namespace

bool SynchroConfiguree()
{
    return !LitReglage(ReglageAdresse).trimmed().isEmpty();
}

ModuleEchanges *ChargeModuleEchanges(QString *erreur)
{
    // The test suites link it in.
    for (QObject *instance : QPluginLoader::staticInstances())
        if (auto *module = qobject_cast<ModuleEchanges *>(instance))
            return module;
    const QStringList dossiers = DossiersModule();
    for (const QString &dossier : dossiers) {
        const QString chemin = dossier + QLatin1Char('/') + NomModule;
        if (!QFileInfo::exists(chemin))
            continue;
        // Qt keeps the library and its instance: a second call finds them again.
        QPluginLoader chargeur(chemin);
        // Every symbol now: a module from another build fails here, not in the middle of an import.
        chargeur.setLoadHints(QLibrary::ResolveAllSymbolsHint | QLibrary::PreventUnloadHint);
        if (auto *module = qobject_cast<ModuleEchanges *>(chargeur.instance()))
            return module;
        *erreur =
            DeuxLignes(QStringLiteral("Le module d'échanges d'Oxi ne peut être chargé : %1").arg(chemin), chargeur.errorString());
        return nullptr;
    }
    *erreur = DeuxLignes(QStringLiteral("Le module d'échanges d'Oxi (%1) est introuvable, ni dans %2 ni dans %3.")
                             .arg(NomModule, dossiers.at(0), dossiers.at(1)),
                         QStringLiteral("L'import de contacts, l'export vers un agenda et la synchronisation "
                                        "sont indisponibles : réinstallez Oxi."));
    return nullptr;
}

ModuleEchanges *ModuleEchangesOuMessage()
{
    QString erreur;
    ModuleEchanges *module = ChargeModuleEchanges(&erreur);
    if (!module)
        MsgInfo(erreur);
    return module;
}

} // namespace oxi
