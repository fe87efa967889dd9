#pragma once
#include <QDate>
#include <QString>

// Backup and restore of the personal data (tables Rappel and Notes) to and
// from a keyed file of their own. The main connection Base() points at the
// main file again whenever these return.
namespace oxi {

// "Oxi_Sauv_DD_MM" for the given day.
QString NomSauvegardeDefaut(const QDate &jour);
// The name with ".dtb" appended unless it already ends in a three-letter extension.
QString NomFichierSauvegarde(const QString &nom);
// The folder, one "/" unless it already ends with one, then the file name.
QString CheminSauvegarde(const QString &dossier, const QString &nomFichier);

// True when `chemin` names the main database file, whatever the path that
// leads there (symbolic link, "..", a hard link).
bool EstBasePrincipale(const QString &chemin);
// True when `chemin` names "DBC.dtb" of the program's folder, which the start
// treats as a leftover of a compaction: a backup there would be deleted.
bool EstNomCompaction(const QString &chemin);

// Writes Rappel and Notes, every row, to a keyed file at `chemin`. The file
// is written beside its name and renamed into place only when complete, so
// a failure leaves an earlier file of that name as it was. Refuses the
// main file itself and the compaction's name. True when the backup was written.
bool SauvegardeBase(const QString &chemin);

enum class Restauration {
    Faite,     // the personal data were replaced
    Vide,      // the backup holds no Rappel row; nothing changed
    Illisible, // not a backup: no database, wrong key, other tables, damaged rows
    Echec,     // the replacement failed and was rolled back
};

// Replaces every row of Rappel and Notes by those of the backup, in one
// transaction, numbers, dates and flags unchanged. Anything short of Faite
// leaves the main file exactly as it was.
Restauration RestaureSauvegarde(const QString &chemin);

// The same, telling "La sauvegarde est vide." itself; true when replaced.
bool RestaureBase(const QString &chemin);

} // namespace oxi
