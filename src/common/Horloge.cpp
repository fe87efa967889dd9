#include "Horloge.h"

namespace oxi {

namespace {
qint64 decalageMs = 0;
}

QDateTime Maintenant()
{
    return QDateTime::currentDateTime().addMSecs(decalageMs);
}

QDate Aujourdhui()
{
    return Maintenant().date();
}

void FixeMaintenant(const QDateTime &moment)
{
    decalageMs = QDateTime::currentDateTime().msecsTo(moment);
}

void RetablitHorloge()
{
    decalageMs = 0;
}

} // namespace oxi
