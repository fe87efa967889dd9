#pragma once

namespace oxi {

// Opens the daily popups whose settings ask for them, in their stacking order.
void AfficheEphemerides();
// Once a second: keeps the clock of the name-day popup.
void MetAJourHeureFetes();
// At a change of day: closes and reopens the daily popups that are open.
void RechargeEphemerides();
// Closes the three daily popups (exit).
void FermeEphemerides();

} // namespace oxi

namespace oxi {
// "&Paramétrer": opens the daily popups whose boxes are ticked in the ephemeris panel.
void OuvreEphemeridesCochees();
} // namespace oxi
