#include "Saisie.h"

namespace oxi {

namespace {
QString modeSaisie;
}

bool SaisieEnCours()
{
    return !modeSaisie.isEmpty();
}

QString ModeSaisie()
{
    return modeSaisie;
}

void DebuteSaisie(const QString &mode)
{
    modeSaisie = mode;
}

void FinitSaisie()
{
    modeSaisie.clear();
}

} // namespace oxi
