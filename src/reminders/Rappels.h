#pragma once
#include <QDate>
#include <QVector>

#include "Base.h"
#include "Echeances.h"
#include "Horloge.h"

// The due scan and acknowledgement, without the popup.
namespace oxi {

// One due reminder of the current scan.
struct RappelDu
{
    int affiche = 0;   // 0 = not yet shown, 1 = shown by the popup
    int numRappel = 0;
};

// The due reminders of the last scan that found any, in ascending NumRappel.
// Replaced as a whole by each scan that finds something; left alone otherwise.
extern QVector<RappelDu> TabRappels;

// Whether a reminder with these slots is due on `aujourdhui`: Ech1 today whatever
// its flag; any used slot today or before still not done.
bool EstDu(const Echeances &echeances, const QDate &aujourdhui);

// NumRappel of every due reminder, ascending. Throws ErreurBase.
QVector<int> RappelsDus(const QDate &aujourdhui = Aujourdhui());

// Runs the due query and, when it finds something, replaces TabRappels.
// Returns true when something is due. Throws ErreurBase.
bool ListeRappelsDus();

// Entries of TabRappels not yet shown.
int CompteRappelsNonAffiches();

// NumRappel of the first entry not yet shown; 0 when none.
int RappelSuivant();

// The next reminder to show with its note fields (Null for birthdays and name days),
// or no row when none is left. Throws ErreurBase.
Resultat ChargeRappelSuivant();

// Marks the first entry not yet shown as shown and sets, in the file, the flag of
// every slot of that reminder dated today or earlier (unused slots included).
// Failure: "Erreur lors de la mise à jour des données. "; the entry stays shown.
void ValideRappel();

} // namespace oxi
