#include "Saisie.h"

namespace oxi {

namespace {
ModeSaisie modeSaisie = ModeSaisie::Aucune;
}

bool SaisieEnCours()
{
    return modeSaisie != ModeSaisie::Aucune;
}

ModeSaisie SaisieCourante()
{
    return modeSaisie;
}

void DebuteSaisie(ModeSaisie mode)
{
    modeSaisie = mode;
}

void FinitSaisie()
{
    modeSaisie = ModeSaisie::Aucune;
}

} // namespace oxi
