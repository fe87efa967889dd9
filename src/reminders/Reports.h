#pragma once
#include <QDateTime>

#include "Echeances.h"

// Reminders put off by "Plus tard": not acknowledged, back at a chosen moment.
// Kept in memory: their done flags are as before they were shown, so a program
// stopped meanwhile shows them at its next start like any reminder due.
namespace oxi {

enum class DelaiReport { QuinzeMinutes, UneHeure, DemainMatin };

// 15 minutes or one hour on, or 9 o'clock the next day.
QDateTime MomentReport(DelaiReport delai, const QDateTime &maintenant);

// Puts reminder `numRappel` off until `quand`, its done flags written back to `avant`.
// Throws ErreurBase, with nothing put off, when the flags cannot be written.
void ReporteRappel(int numRappel, const Echeances &avant, const QDateTime &quand);

// Reminders put off and not back yet.
int CompteReportes();

// Those whose moment has come go back into TabRappels as not shown; returns how many.
int RameneReportes(const QDateTime &maintenant);
// The one coming back first, back now (reached by "Suivant" or the close question).
bool RameneProchainReporte();
// After a scan: entries of TabRappels put off are left out (marked shown) until their moment.
void ExclutReportes();
void OublieReportes();

} // namespace oxi
