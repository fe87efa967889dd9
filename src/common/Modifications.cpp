#include "Modifications.h"

namespace oxi {

Modifications &AvisModifications()
{
    static Modifications avis;
    return avis;
}

} // namespace oxi
