#pragma once

namespace oxi {

// Due scan: lists the due reminders in TabRappels and opens the reminder popup when any is due.
void RechercheRappels();
// Opens the popup on the reminders of TabRappels not yet shown, or brings the open one up to date.
void MontreRappels();
// Brings back the reminders put off whose moment has come.
void RappelleReportes();
// Watches the clock while reminders are put off.
void GuetteReports();
// Closes the reminder popup, asking first about reminders left to show.
void FermeMessage();

} // namespace oxi
