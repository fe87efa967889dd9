#pragma once
#include <QString>

// Text layout shared by the popups: breaking a text into lines of a fixed
// number of characters and counting lines, into one shared line counter.
namespace oxi {

// Lines of the text last measured. DecoupeLignes resets it; CompteLignes adds to it.
extern double NbLignes;

// Word-wraps `texte` into lines of at most `largeur` characters joined by CR LF,
// counting them into NbLignes (reset to 0 first). `texte` is consumed (left empty).
// The break space stays at the end of its line; a space just after a full line
// starts the next one; a word longer than a line is cut at `largeur`.
QString DecoupeLignes(QString &texte, int largeur);

// Returns `texte` unchanged and adds to NbLignes ceil(length / largeur) plus one per CR.
QString CompteLignes(const QString &texte, int largeur);

// Rounded to nearest, halves to even (the rounding of every popup size).
int ArrondiPair(double valeur);
// NbLignes as a whole number of lines.
inline int NbLignesEntier() { return ArrondiPair(NbLignes); }

} // namespace oxi
