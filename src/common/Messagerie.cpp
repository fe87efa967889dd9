#include "Messagerie.h"
#include "Contexte.h"

#include <QDebug>

namespace oxi {

void MessagerieConsole::Information(const QString &texte)
{
    qWarning().noquote() << texte;
}

void MessagerieConsole::Critique(const QString &texte)
{
    qCritical().noquote() << texte;
}

bool MessagerieConsole::Question(const QString &texte)
{
    qWarning().noquote() << texte;
    return false;
}

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
