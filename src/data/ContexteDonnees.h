#pragma once
#include "Base.h"
#include "Contexte.h"
#include "DeriveCle.h"
#include "OperationsFichiers.h"

#include <mutex>
#include <optional>

namespace oxi {

// The process's context with the data layer's part: the program's connection
// to the main file, the last key derivation (kept between opens of the same
// file) and the file-operation seam. The one object main() makes.
class ContexteDonnees : public Contexte
{
public:
    ContexteDonnees() = default;
    // Every program that uses the data layer registers this kind.
    static ContexteDonnees &Courant() { return static_cast<ContexteDonnees &>(Contexte::Courant()); }

    Connexion base;
    std::mutex verrouDerivation; // a connection may open on another thread
    std::optional<DerivationCle> derivation;
    OperationsFichiers operationsSysteme;
    OperationsFichiers *operations = &operationsSysteme;
};

} // namespace oxi
