#pragma once

namespace oxi {

// The start-up sequence; false when start-up ended (second instance,
// no connection, regional settings refused) and the program must stop.
bool Demarre();
// Ends the program in order: icon, windows, connection, then every event loop.
void QuitteProgramme();
// True once QuitteProgramme ran since the last start-up (an exit asked before
// the main loop began must not let it start).
bool ProgrammeQuitte();

} // namespace oxi
