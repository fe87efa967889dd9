#include "Dialogues.h"

namespace oxi {

void AffichePremiereFois()
{
}

void AfficheRegistre()
{
}

void AfficheAPropos()
{
}

void FermeDialogues()
{
}

} // namespace oxi
