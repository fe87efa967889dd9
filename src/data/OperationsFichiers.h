#pragma once
#include <QString>

// The file operations of the data layer that do not go through the database
// library, in one place: the fault tests fail or interrupt them there, as they
// do the library's own writes through a file-system layer of their own.
namespace oxi {

class OperationsFichiers
{
public:
    virtual ~OperationsFichiers() = default;
    // Creates a new, empty file (mode 0600) from `modele`, which ends in
    // "XXXXXX"; its name, empty on failure.
    virtual QString CreeTemporaire(const QString &modele);
    // Atomic within a file system; replaces `vers`.
    virtual bool Renomme(const QString &de, const QString &vers);
    virtual bool Supprime(const QString &chemin);
};

// The operations in use: the system's unless a test installed others.
OperationsFichiers &Fichiers();
// Takes no ownership; nullptr puts back the system's.
void InstalleOperationsFichiers(OperationsFichiers *operations);

} // namespace oxi
