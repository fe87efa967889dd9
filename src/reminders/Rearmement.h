#pragma once
#include <QDate>

// Yearly re-arming of birthdays and name days.
namespace oxi {

// Once per calendar year (setting "Init"/"Annee"): every used due date of a
// birthday or name day moves one year forward and its flag is cleared. The year
// is stored before any row is read; failures are silent. Notes are never touched.
void RearmeEcheances();

// The date one year later, 29 February giving 1 March.
QDate AnneeSuivante(const QDate &date);

} // namespace oxi
