#pragma once
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// The in-memory tables behind the three reminder lists of the main window:
// read from Rappel, sorted by a chosen column, shown in that order. No widgets.
namespace oxi {

// One row of a table: text columns 1..c and the number of the stored reminder,
// so that a change or a deletion acts on the row the user selected.
struct LigneTableau
{
    QStringList colonnes;
    qint64 numRappel = 0;

    QString Colonne(int k) const { return colonnes.value(k - 1); }
};

struct Tableau
{
    QVector<LigneTableau> lignes;
    // Columns holding ISO dates, compared as dates; the others compare as upper-cased text.
    QList<int> colonnesDates;

    int Nombre() const { return int(lignes.size()); }
};

// Exchange sort, ascending, by column k (from 1). Rows with equal keys are
// never exchanged with each other, but an exchange with a third row may
// reorder them: keys B1, B2, A give A, B2, B1.
void TrieTableau(Tableau &tableau, int colonne);

// Default sort columns after each fill.
constexpr int TriDefautAnniv = 2;
constexpr int TriDefautFetes = 1;
constexpr int TriDefautNotes = 3;

// The reminders of one kind read into a table, sorted by the default column.
// Throw ErreurBase.
// Birthdays: 1 name, 2 first name, 3 birth date, 4 birthday this year.
Tableau TableAnniversaires();
// Name days: 1 first name, 2 "9 septembre", 3 name day next year.
Tableau TableFetes();
// Notes: 1 title, 2 "9 septembre 2026", 3 the note's day and month this year.
Tableau TableNotes();

// The age a person born on `date` reaches this year.
int CalculeAge(const QDate &date);
// "12 mars (51 ans)", or "12 mars" when the year of birth is unknown (1850).
QString TexteAnniversaire(const QDate &naissance);
// "9 septembre".
QString TexteJourMois(const QDate &date);

} // namespace oxi
