#pragma once
#include <QDate>
#include <QDateTime>

// The one source of "today" and "now". Tests shift it; the clock keeps running.
namespace oxi {

QDateTime Maintenant();
QDate Aujourdhui();
// Makes Maintenant() return `moment` now and advance from there.
void FixeMaintenant(const QDateTime &moment);
void RetablitHorloge();

} // namespace oxi
