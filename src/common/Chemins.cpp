#include "Chemins.h"
#include "Constantes.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace oxi {

namespace {
QString cheminAppli;
QString nomBase = NomBaseDefaut;

QString AvecBarre(const QString &dossier)
{
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

bool Inscriptible(const QString &dossier)
{
    return ::access(QFile::encodeName(dossier).constData(), W_OK | X_OK) == 0;
}

// Copies without ever leaving a partial file under the final name.
bool CopieAtomique(const QString &source, const QString &destination)
{
    const QString provisoire = destination + QStringLiteral(".part");
    QFile::remove(provisoire);
    if (!QFile::copy(source, provisoire))
        return false;
    QFile(provisoire).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (::rename(QFile::encodeName(provisoire).constData(), QFile::encodeName(destination).constData()) != 0) {
        QFile::remove(provisoire);
        return false;
    }
    return true;
}
} // namespace

QString NomAppli()
{
    return QFileInfo(CheminExecutable()).completeBaseName();
}

QString CheminExecutable()
{
    return QCoreApplication::applicationFilePath();
}

QString CheminPartage(const QString &dossierExecutable)
{
    return AvecBarre(QDir::cleanPath(dossierExecutable + QStringLiteral("/../share/") + NomAppli()));
}

QString CheminDonneesUtilisateur()
{
    QString racine = qEnvironmentVariable("XDG_DATA_HOME");
    // XDG base directories ignore relative paths.
    if (racine.isEmpty() || QDir::isRelativePath(racine))
        racine = QDir::homePath() + QStringLiteral("/.local/share");
    return AvecBarre(QDir::cleanPath(racine + QLatin1Char('/') + NomAppli()));
}

QString ChoisitCheminAppli(const QString &dossierExecutable)
{
    const QString partage = CheminPartage(dossierExecutable);
    const QString livree = partage + NomBaseDefaut;
    const bool installe = QFileInfo(livree).isFile();
    if (!installe && Inscriptible(dossierExecutable))
        return AvecBarre(dossierExecutable);
    const QString donnees = CheminDonneesUtilisateur();
    QDir().mkpath(donnees);
    const QString base = donnees + NomBaseDefaut;
    if (!QFileInfo::exists(base)) {
        // A read-only folder may still carry the database beside the executable.
        const QString voisine = AvecBarre(dossierExecutable) + NomBaseDefaut;
        CopieAtomique(installe ? livree : voisine, base);
    }
    return donnees;
}

QString CheminAppli()
{
    if (cheminAppli.isEmpty())
        cheminAppli = ChoisitCheminAppli(QCoreApplication::applicationDirPath());
    return cheminAppli;
}

void FixeCheminAppli(const QString &dossier)
{
    cheminAppli = AvecBarre(dossier);
}

QString &NomBase()
{
    return nomBase;
}

} // namespace oxi
