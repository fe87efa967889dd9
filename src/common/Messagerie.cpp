#include "Messagerie.h"
#include "Contexte.h"

namespace oxi {

void InstalleMessagerie(Messagerie *messagerie)
{
    Contexte &contexte = Contexte::Courant();
    contexte.messagerie = messagerie ? messagerie : &contexte.console;
}

Messagerie &Messages()
{
    return *Contexte::Courant().messagerie;
}

} // namespace oxi
