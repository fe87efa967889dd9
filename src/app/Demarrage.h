#pragma once

namespace oxi {

// The start-up sequence; false when start-up ended (second instance,
// no connection, regional settings refused) and the program must stop.
bool Demarre();
// Ends the program in order: icon, windows, connection.
void QuitteProgramme();

} // namespace oxi
