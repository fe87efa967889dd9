#pragma once

// Edit state of the main window: while a panel adds or changes a reminder no
// other panel opens and the main window refuses to be hidden.
namespace oxi {

enum class ModeSaisie { Aucune, Ajout, Modification };

bool SaisieEnCours();
ModeSaisie SaisieCourante();
void DebuteSaisie(ModeSaisie mode);
void FinitSaisie();

} // namespace oxi
