#include "Modifications.h"
#include "Contexte.h"

namespace oxi {

Modifications &AvisModifications()
{
    return Contexte::Courant().modifications;
}

} // namespace oxi
