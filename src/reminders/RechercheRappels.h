#pragma once

namespace oxi {

// Due scan: lists the due reminders in TabRappels and opens the reminder popup when any is due.
void RechercheRappels();
// Closes the reminder popup, asking first about reminders left to show.
void FermeMessage();

} // namespace oxi
