#pragma once
#include <QString>

// Every message box and question of the program goes through here,
// with the application's title. Tests install a scripted responder.
namespace oxi {

class Messagerie
{
public:
    virtual ~Messagerie() = default;
    virtual void Information(const QString &texte) = 0;
    virtual void Critique(const QString &texte) = 0;
    // Yes/No question without icon; true for Yes.
    virtual bool Question(const QString &texte) = 0;
    // A plain note: OK, no icon.
    virtual void Simple(const QString &texte) { Information(texte); }
};

// Before the windowed responder is installed (and in tools): messages go to stderr.
class MessagerieConsole : public Messagerie
{
public:
    void Information(const QString &texte) override { qWarning("%s", qUtf8Printable(texte)); }
    void Critique(const QString &texte) override { qCritical("%s", qUtf8Printable(texte)); }
    bool Question(const QString &texte) override { return Information(texte), false; }
};

// Takes no ownership; nullptr puts back the console one.
void InstalleMessagerie(Messagerie *messagerie);
Messagerie &Messages();

inline void MsgInfo(const QString &texte)
{
    Messages().Information(texte);
}
inline void MsgCritique(const QString &texte)
{
    Messages().Critique(texte);
}
inline void MsgSimple(const QString &texte)
{
    Messages().Simple(texte);
}
inline bool MsgQuestion(const QString &texte)
{
    return Messages().Question(texte);
}

// Two lines of a message, joined the way the program always joins them.
inline QString DeuxLignes(const QString &a, const QString &b)
{
    return a + QStringLiteral("\r\n") + b;
}

} // namespace oxi
