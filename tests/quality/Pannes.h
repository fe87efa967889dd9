#pragma once
#include <QString>
#include <functional>

// Fault injection for the file operations: an operation runs in a forked
// child whose database library writes through a file-system layer of the
// test, and whose other file operations go through the data layer's seam.
// Both count the operations that change files under a folder (writes,
// syncs, truncations, creations, deletions, renames) and, at the n-th of
// them, end the child at once, as a power cut would, or make it fail.
namespace oxi::test {

enum class Panne { Aucune, Tue, Erreur };

struct Essai
{
    int points = 0;       // file-changing operations seen (up to the fault)
    bool atteint = false; // the fault point was reached
    bool tue = false;     // the child ended by a signal
    int code = -1;        // its exit code otherwise
};

// Runs `operation` in a child; its return value becomes the exit code.
// Panne::Aucune counts every point. `avant` runs in the child first
// (dropping privileges, limits); nothing counted when `dossier` is empty.
Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne = Panne::Aucune, int n = 0,
                     int erreur = 28 /* ENOSPC */, const std::function<void()> &avant = {});

} // namespace oxi::test
