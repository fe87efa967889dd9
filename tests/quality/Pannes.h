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
// n = 0 runs it without fault and counts every point. `avantOperation` runs
// in the child before tracing counts (dropping privileges, limits).
Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne, int n,
                     int erreur = 28 /* ENOSPC */, const std::function<void()> &avantOperation = {});

// Runs `operation` in a plain child (no tracing); its exit code, -1 on a signal.
int LanceDansEnfant(const std::function<int()> &operation, const std::function<void()> &avantOperation = {});

} // namespace oxi::test
