#pragma once
#include <QString>

// Edit state of the main window: "A" while a panel adds a reminder, "M" while
// it changes one, empty otherwise. While an entry is in progress no other
// panel opens and the main window refuses to be hidden.
namespace oxi {

bool SaisieEnCours();
QString ModeSaisie();
void DebuteSaisie(const QString &mode);
void FinitSaisie();

} // namespace oxi
