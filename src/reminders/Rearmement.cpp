#include "Rearmement.h"

namespace oxi {

void RearmeEcheances()
{
}

} // namespace oxi
