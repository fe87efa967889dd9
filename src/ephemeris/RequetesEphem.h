#pragma once
#include <QDate>
#include <QString>
#include <QStringList>

// Reads the reference tables Fetes, Dictons and Mois for the daily popups.
// No widgets here: the popups fill their labels from these results.
namespace oxi {

// "Jeudi 6 novembre": weekday with a capital, day without leading zero, month in lower case.
QString LibelleDate(const QDate &jour);

// Today's names as the popup joins them: every part of the cell, empty ones
// included, separated by ", "; a leading empty part is dropped.
QString JoinsNomsDuJour(const QString &cellule);
// Tomorrow's names: every part kept, a leading empty part too.
QString JoinsNomsDemain(const QString &cellule);
// "#" opens a compound name, then blanks and one dangling "," are removed.
QString NettoieNoms(const QString &noms);

struct NomsDuJour
{
    bool trouve = false; // a row exists for that day
    QString noms;        // joined and cleaned
    int parts = 0;       // number of blank-separated parts of the cell
};

// Names celebrated on `jour`. Throws ErreurBase when the query fails or the cell is Null.
NomsDuJour LitNomsDuJour(const QDate &jour);
NomsDuJour LitNomsDemain(const QDate &aujourdhui);

struct DictonDuJour
{
    bool trouve = false;
    QString texte;   // the saying on one line, its parts joined by single blanks
    int dictons = 0; // 0 without a row, then 1 or 2
};

// The saying of `jour`; a failed query reads as no saying.
DictonDuJour LitDicton(const QDate &jour);
// The text of a row from its four columns, as the popup forms it.
DictonDuJour FormeDicton(const QString &lib1, const QString &lib2, const QString &lib3, const QString &lib4);

// The six facts of a month in stored order (republican name, angel, tree,
// flower(s), animal, stone(s)); always six entries, empty where nothing could be read.
QStringList LitFaitsDuMois(int mois);

} // namespace oxi
