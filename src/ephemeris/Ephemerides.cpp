#include "Ephemerides.h"

namespace oxi {

void AfficheEphemerides()
{
}

void MetAJourHeureFetes()
{
}

void RechargeEphemerides()
{
}

void FermeEphemerides()
{
}

} // namespace oxi

namespace oxi {
void OuvreEphemeridesCochees()
{
}
} // namespace oxi
