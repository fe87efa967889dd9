#pragma once
#include <QString>

// Regional settings accepted by Oxi: French of France, Belgium, Canada, Luxembourg.
namespace oxi {

// Sets CodeRegion from the platform's identifier; true for the five French ones (Swiss included).
bool TestParamRegionaux();
// "F", "B", "C", "L", "S" or "E".
QString CodeRegion();
// 1 (Sunday) for Canadian French, 2 (Monday) otherwise.
int PremierJourSemaine();
void FixePremierJourSemaine(int jour);

} // namespace oxi
