#pragma once
#include <QString>

// Where the program and its database live.
namespace oxi {

// The executable's file name without extension ("oxi"): names the settings and the autostart entry.
QString NomAppli();
// The executable's full path.
QString CheminExecutable();
// The folder of the executable, or the user's data folder when that one
// cannot be written or the program is installed; always ends with "/".
QString CheminAppli();
void FixeCheminAppli(const QString &dossier);

// The read-only files shipped with an installed program: <prefix>/share/<name>/
// for an executable in <prefix>/bin; always ends with "/".
QString CheminPartage(const QString &dossierExecutable);
// The shipped database, in a folder of its own among the shipped files: with
// the prefix ~/.local the shipped folder and the user's data folder are one.
QString CheminBaseLivree(const QString &dossierExecutable);
// The user's data folder of the program: ${XDG_DATA_HOME:-~/.local/share}/<name>/.
QString CheminDonneesUtilisateur();
// Decides the program's folder for an executable living in `dossierExecutable`:
// that folder for a program run where it was built, the user's data folder for
// an installed one (one whose shipped database exists), which then receives a
// copy of the shipped database when it has none yet: written beside under a
// unique name, then linked into place, so that an existing file is never replaced.
QString ChoisitCheminAppli(const QString &dossierExecutable);

// "DBOxi.dtb", emptied when the file is missing at connection time.
QString NomBase();
void FixeNomBase(const QString &nom);
inline QString CheminBase()
{
    return CheminAppli() + NomBase();
}

} // namespace oxi
