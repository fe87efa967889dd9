#include "Chemins.h"
#include "Constantes.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace oxi {

namespace {
QString cheminAppli;
QString nomBase = NomBaseDefaut;
} // namespace

QString NomAppli()
{
    return QFileInfo(CheminExecutable()).completeBaseName();
}

QString CheminExecutable()
{
    return QCoreApplication::applicationFilePath();
}

QString CheminAppli()
{
    if (cheminAppli.isEmpty())
        FixeCheminAppli(QCoreApplication::applicationDirPath());
    return cheminAppli;
}

void FixeCheminAppli(const QString &dossier)
{
    cheminAppli = dossier.endsWith(QLatin1Char('/')) ? dossier : dossier + QLatin1Char('/');
}

QString &NomBase()
{
    return nomBase;
}

} // namespace oxi
