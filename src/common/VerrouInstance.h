#pragma once
#include <QString>

namespace oxi {

// An exclusive lock on a file, held until the object dies or the process ends
// (the system drops it with the descriptor, so a killed holder leaves nothing
// that blocks). flock() locks belong to the open file, so a second lock on the
// same file fails even inside the same process.
class VerrouInstance
{
public:
    explicit VerrouInstance(const QString &chemin);
    ~VerrouInstance();
    VerrouInstance(const VerrouInstance &) = delete;
    VerrouInstance &operator=(const VerrouInstance &) = delete;

    // True when this object now holds the lock (or already held it).
    bool Prend();
    bool Tenu() const { return m_fd >= 0; }

private:
    QString m_chemin;
    int m_fd = -1;
};

// The per-user lock file of the program `nom`: in XDG_RUNTIME_DIR, else in
// Qt's private per-user runtime folder, else in the user's settings folder.
QString CheminVerrouInstance(const QString &nom);

} // namespace oxi
