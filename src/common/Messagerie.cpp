#include "Messagerie.h"

#include <QDebug>

namespace oxi {

namespace {

// Before the windowed responder is installed (and in tools): messages go to stderr.
class MessagerieConsole : public Messagerie
{
public:
    void Information(const QString &texte) override { qWarning().noquote() << texte; }
    void Critique(const QString &texte) override { qCritical().noquote() << texte; }
    bool Question(const QString &texte) override
    {
        qWarning().noquote() << texte;
        return false;
    }
};

MessagerieConsole console;
Messagerie *courante = &console;

} // namespace

void InstalleMessagerie(Messagerie *messagerie)
{
    courante = messagerie ? messagerie : &console;
}

Messagerie &Messages()
{
    return *courante;
}

} // namespace oxi
