#pragma once
#include <QString>
#include <functional>

// Fault injection at the system-call level: an operation runs in a forked
// child traced by the test, which counts the calls that change files under a
// folder (writes, syncs, truncations, renames, removals, creations) and, at
// the n-th of them, kills the child or makes the call fail.
namespace oxi::test {

enum class Panne { Aucune, Tue, Erreur };

struct Essai {
    int points = 0;       // file-changing calls seen (up to the fault)
    bool atteint = false; // the fault point was reached
    bool tue = false;     // the child ended by a signal
    int code = -1;        // its exit code otherwise
};

// Runs `operation` in a child; its return value becomes the exit code.
// Panne::Aucune counts every point. `avant` runs in the child first
// (dropping privileges, limits); without tracing when `dossier` is empty.
Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne = Panne::Aucune,
                     int n = 0, int erreur = 28 /* ENOSPC */, const std::function<void()> &avant = {});

} // namespace oxi::test
