#pragma once
#include <QStringList>

namespace oxi {
class Connexion;
}

// Reminders of every kind written straight into a keyed file, and the
// state of files, for the fault, load and data tests and the benchmark.
namespace oxi::test {

// Texts that have broken programs before: quotes, SQL and LIKE characters,
// control characters, emoji, right-to-left script, a very long text.
QStringList TextesHostiles();

// Adds `nombre` reminders of mixed kinds (birthdays with and without a year,
// name days, notes with their text), due dates around `annee`, some done.
// Reproducible for one `graine`. Runs in one transaction.
void GenereRappels(Connexion &connexion, int nombre, int annee, unsigned graine = 1);

// Every row of Rappel and Notes as text, in number order; empty when the
// file does not open with the key or fails its integrity check.
QStringList EtatConnexion(Connexion &connexion);
QStringList EtatFichier(const QString &chemin);
// Runs `instructions` in the file, opened or created under `cle` (none: plain SQLite); false when it did not open.
bool ExecuteDans(const QString &chemin, const QString &cle, bool cree, const QStringList &instructions);
// A copy of the keyed file `source` under the older key derivation (4,000 rounds).
bool CopieAncienFormat(const QString &source, const QString &cible);

// SHA-256 of a file's bytes; a link's target or nothing for what is not a plain
// file (a FIFO is never opened: that would wait for a writer).
QByteArray Empreinte(const QString &chemin);
// Writes `octets` in place of what `chemin` held; false when it could not.
bool Ecrit(const QString &chemin, const QByteArray &octets);

} // namespace oxi::test
