#include "Contexte.h"
#include "Constantes.h"

namespace oxi {

namespace {
// The one registration, as QCoreApplication::self: set by the constructor, cleared by the destructor.
Contexte *courant = nullptr;
} // namespace

Contexte::Contexte() : nomBase(NomBaseDefaut)
{
    Q_ASSERT(!courant);
    courant = this;
}

Contexte::~Contexte()
{
    courant = nullptr;
}

Contexte &Contexte::Courant()
{
    if (!courant)
        qFatal("oxi: no Contexte made before its first use");
    return *courant;
}

} // namespace oxi
