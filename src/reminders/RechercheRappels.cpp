#include "RechercheRappels.h"

namespace oxi {

void RechercheRappels()
{
}

void FermeMessage()
{
}

} // namespace oxi
