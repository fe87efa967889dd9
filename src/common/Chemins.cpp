#include "Chemins.h"
#include "Constantes.h"
#include "Contexte.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace oxi {

namespace {
QString AvecBarre(const QString &dossier)
{
    return dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

bool Inscriptible(const QString &dossier)
{
    return ::access(QFile::encodeName(dossier).constData(), W_OK | X_OK) == 0;
}

// Copies without ever leaving a partial file under the final name nor
// replacing a file that appears there meanwhile (another start of the program).
bool CopieSansEcraser(const QString &source, const QString &destination)
{
    QFile entree(source);
    if (!entree.open(QIODevice::ReadOnly))
        return false;
    const QFileInfo cible(destination);
    QTemporaryFile copie(cible.absolutePath() + QStringLiteral("/.") + cible.fileName() + QStringLiteral(".XXXXXX"));
    if (!copie.open() || copie.fileName().isEmpty())
        return false;
    while (!entree.atEnd()) {
        const QByteArray bloc = entree.read(1 << 16);
        if (bloc.isEmpty() && entree.error() != QFileDevice::NoError)
            return false;
        if (copie.write(bloc) != bloc.size())
            return false;
    }
    if (!copie.flush() || ::fsync(copie.handle()) != 0)
        return false;
    const QByteArray provisoire = QFile::encodeName(copie.fileName());
    const QByteArray finale = QFile::encodeName(destination);
    if (::link(provisoire.constData(), finale.constData()) == 0)
        return true; // the unique name goes with the temporary file
    if (errno == EEXIST)
        return false;
    // Some file systems have no hard links.
    if (QFileInfo::exists(destination) || QFileInfo(destination).isSymLink()
        || ::rename(provisoire.constData(), finale.constData()) != 0)
        return false;
    copie.setAutoRemove(false);
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

QString CheminBaseLivree(const QString &dossierExecutable)
{
    return CheminPartage(dossierExecutable) + QStringLiteral("reference/") + NomBaseDefaut;
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
    const QString livree = CheminBaseLivree(dossierExecutable);
    const bool installe = QFileInfo(livree).isFile();
    if (!installe && Inscriptible(dossierExecutable))
        return AvecBarre(dossierExecutable);
    const QString donnees = CheminDonneesUtilisateur();
    QDir().mkpath(donnees);
    const QString base = donnees + NomBaseDefaut;
    if (!QFileInfo::exists(base) && !QFileInfo(base).isSymLink()) {
        // A read-only folder may still carry the database beside the executable.
        const QString voisine = AvecBarre(dossierExecutable) + NomBaseDefaut;
        CopieSansEcraser(installe ? livree : voisine, base);
    }
    return donnees;
}

QString CheminAppli()
{
    QString &chemin = Contexte::Courant().cheminAppli;
    if (chemin.isEmpty())
        chemin = ChoisitCheminAppli(QCoreApplication::applicationDirPath());
    return chemin;
}

void FixeCheminAppli(const QString &dossier)
{
    Contexte::Courant().cheminAppli = AvecBarre(dossier);
}

QString NomBase()
{
    return Contexte::Courant().nomBase;
}

void FixeNomBase(const QString &nom)
{
    Contexte::Courant().nomBase = nom;
}

} // namespace oxi
