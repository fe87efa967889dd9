#pragma once
#include <QString>

// Text layout shared by the popups: breaking a text into lines of a fixed
// number of characters and counting lines into the caller's counter.
namespace oxi {

// Word-wraps `texte` into lines of at most `largeur` characters joined by CR LF,
// counting them into `lignes` (set, not added to). `texte` is consumed (left empty).
// The break space stays at the end of its line; a space just after a full line
// starts the next one; a word longer than a line is cut at `largeur`.
QString DecoupeLignes(QString &texte, int largeur, double &lignes);

// Returns `texte` unchanged and adds to `lignes` ceil(length / largeur) plus one per CR.
QString CompteLignes(const QString &texte, int largeur, double &lignes);

// Rounded to nearest, halves to even (the rounding of every popup size).
int ArrondiPair(double valeur);

} // namespace oxi
