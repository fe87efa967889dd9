#pragma once

// The command-line modes of oxi: today's reminders for terminals and scripts,
// export and import without a window. No widgets, no instance lock.
namespace oxi {

// Whether the arguments ask for a command-line mode rather than the tray program.
bool EstLigneCommande(int argc, char **argv);

// Runs it inside an existing QCoreApplication: 0 on success, else a French message on stderr.
int ExecuteLigneCommande();

} // namespace oxi
