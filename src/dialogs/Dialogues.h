#pragma once

namespace oxi {

// First-use window, modeless.
void AffichePremiereFois();
// Stored-settings window behind its password, modeless (F8).
void AfficheRegistre();
// About box, modeless.
void AfficheAPropos();
// Closes the first-use, about and stored-settings windows (exit).
void FermeDialogues();

} // namespace oxi
