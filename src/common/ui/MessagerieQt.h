#pragma once
#include "Messagerie.h"

namespace oxi {

// The real message boxes: application title, information or critical icon, OK; questions Yes/No without icon.
class MessagerieQt : public Messagerie
{
public:
    void Information(const QString &texte) override;
    void Critique(const QString &texte) override;
    bool Question(const QString &texte) override;
    void Simple(const QString &texte) override;
};

} // namespace oxi
