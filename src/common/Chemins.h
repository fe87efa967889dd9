#pragma once
#include <QString>

// Where the program and its database live.
namespace oxi {

// The executable's file name without extension ("oxi"): names the settings and the autostart entry.
QString NomAppli();
// The executable's full path.
QString CheminExecutable();
// The folder of the executable, or the user's data folder when that one
// cannot be written; always ends with "/".
QString CheminAppli();
void FixeCheminAppli(const QString &dossier);

// "DBOxi.dtb", emptied when the file is missing at connection time.
QString &NomBase();
inline QString CheminBase() { return CheminAppli() + NomBase(); }

} // namespace oxi
