#include "Horloge.h"
#include "Contexte.h"

namespace oxi {

QDateTime Maintenant()
{
    return QDateTime::currentDateTime().addMSecs(Contexte::Courant().decalageHorlogeMs);
}

QDate Aujourdhui()
{
    return Maintenant().date();
}

void FixeMaintenant(const QDateTime &moment)
{
    Contexte::Courant().decalageHorlogeMs = QDateTime::currentDateTime().msecsTo(moment);
}

void RetablitHorloge()
{
    Contexte::Courant().decalageHorlogeMs = 0;
}

} // namespace oxi
