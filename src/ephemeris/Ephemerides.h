#pragma once

namespace oxi {

class frmFetes;
class frmDictons;
class frmMois;

// Opens the daily popups whose settings ask for them, in their stacking order.
void AfficheEphemerides();
// Once a second: keeps the clock of the name-day popup.
void MetAJourHeureFetes();
// At a change of day: closes and reopens the daily popups that are open.
void RechargeEphemerides();
// Closes the three daily popups (exit, show/hide toggle).
void FermeEphemerides();

// Each shows its popup modelessly; one already open is only brought forward.
void AfficheFetes();
void AfficheDictons();
void AfficheMois();

// Whether each popup is open and loaded.
bool FetesAffiche();
bool DictonsAffiche();
bool MoisAffiche();

// The open popups, nullptr when closed.
frmFetes *FenetreFetes();
frmDictons *FenetreDictons();
frmMois *FenetreMois();

// The name-day icon shows the main window (found by its name, as it lives in a
// layer above this one), else the window holding the ephemeris panel, as it is.
void AfficheAccueilDepuisEphemerides();

} // namespace oxi

namespace oxi {
// "&Paramétrer": opens the daily popups whose boxes are ticked in the ephemeris panel.
void OuvreEphemeridesCochees();
} // namespace oxi
