#pragma once
#include <QString>

// Whether a keyed file is a whole database of the program, checked before
// anything is written to it.
namespace oxi {

class Connexion;

// True when the file behind `connexion` holds the five tables with at least
// their columns (other tables and columns are allowed), is not shorter than
// its header says, and every page reads back. Reads only.
bool BaseSaine(Connexion &connexion);

// True when `chemin` is a regular file (a link to one counts), never opened.
bool EstFichierOrdinaire(const QString &chemin);

} // namespace oxi
