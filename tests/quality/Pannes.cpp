#include "Pannes.h"
#include "OperationsFichiers.h"

#include <QFile>

#define SQLITE_HAS_CODEC
#include <sqlcipher/sqlite3.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oxi::test {

namespace {

// The fault the child is to meet. Set in the child only, after the fork.
struct Consigne
{
    Essai *compte = nullptr; // shared with the parent, which reads it afterwards
    QByteArray dossier;
    Panne panne = Panne::Aucune;
    int n = 0, erreur = 0;
    sqlite3_vfs *reel = nullptr;
};
Consigne consigne;

bool Sous(const char *chemin)
{
    return chemin && (consigne.dossier == chemin || QByteArray(chemin).startsWith(consigne.dossier + '/'));
}

// One file-changing operation about to run: true when it must fail. A
// killed child ends before the operation, with nothing flushed.
bool Point(bool suivi)
{
    if (!suivi || consigne.compte->atteint || ++consigne.compte->points != consigne.n || consigne.panne == Panne::Aucune)
        return false;
    consigne.compte->atteint = true;
    if (consigne.panne == Panne::Tue)
        kill(getpid(), SIGKILL);
    return true;
}

// What the test keeps of each file of the library, right after the system's own
// file, which stays at the start so that the system's functions can be given it.
struct Suite
{
    const sqlite3_io_methods *reelles;
    bool suivi; // lies under the folder
};
Suite &De(sqlite3_file *f)
{
    return *reinterpret_cast<Suite *>(reinterpret_cast<char *>(f) + (consigne.reel->szOsFile + 7) / 8 * 8);
}

// A write, truncation or sync of a followed file: at the fault point, the
// library's code for it (a full disk for a write out of room).
template <auto Methode, int Code, typename... Arguments> int Change(sqlite3_file *f, Arguments... arguments)
{
    if (!Point(De(f).suivi))
        return (De(f).reelles->*Methode)(f, arguments...);
    const int e = consigne.erreur;
    return Code == SQLITE_IOERR_WRITE && (e == ENOSPC || e == EDQUOT || e == EFBIG) ? SQLITE_FULL : Code;
}

// The system's own methods (the same for all its files) but for the changes.
sqlite3_io_methods methodes;

int Ouvre(sqlite3_vfs *, const char *nom, sqlite3_file *f, int drapeaux, int *sortie)
{
    f->pMethods = nullptr;
    De(f).suivi = Sous(nom);
    if ((drapeaux & SQLITE_OPEN_CREATE) && Point(De(f).suivi))
        return SQLITE_CANTOPEN;
    const int rc = consigne.reel->xOpen(consigne.reel, nom, f, drapeaux, sortie);
    if ((De(f).reelles = f->pMethods)) {
        methodes = *f->pMethods;
        // Version 1 only: no shared memory, no mapping, so the library writes
        // every page through xWrite where it is counted.
        methodes.iVersion = 1;
        methodes.xWrite = Change<&sqlite3_io_methods::xWrite, SQLITE_IOERR_WRITE, const void *, int, sqlite3_int64>;
        methodes.xTruncate = Change<&sqlite3_io_methods::xTruncate, SQLITE_IOERR_TRUNCATE, sqlite3_int64>;
        methodes.xSync = Change<&sqlite3_io_methods::xSync, SQLITE_IOERR_FSYNC, int>;
        f->pMethods = &methodes;
    }
    return rc;
}

int Supprime(sqlite3_vfs *, const char *nom, int synchro)
{
    return Point(Sous(nom)) ? SQLITE_IOERR_DELETE : consigne.reel->xDelete(consigne.reel, nom, synchro);
}

// Everything else as the system's layer does it: its functions do not look at the layer they are given.
sqlite3_vfs systemePannes;

// The data layer's own file operations, counted and failed the same way.
class OperationsPannes : public OperationsFichiers
{
public:
    QString CreeTemporaire(const QString &m) override { return Echoue(m) ? QString() : OperationsFichiers::CreeTemporaire(m); }
    bool Renomme(const QString &a, const QString &b) override { return !Echoue(a, b) && OperationsFichiers::Renomme(a, b); }
    bool Supprime(const QString &chemin) override { return !Echoue(chemin) && OperationsFichiers::Supprime(chemin); }

private:
    static bool Echoue(const QString &a, const QString &b = {})
    {
        return Point(Sous(QFile::encodeName(a).constData()) || Sous(QFile::encodeName(b).constData()))
            && (errno = consigne.erreur, true);
    }
};

void InstalleCouches(Essai *compte, const QByteArray &dossier, Panne panne, int n, int erreur)
{
    consigne = Consigne{compte, dossier, panne, n, erreur, sqlite3_vfs_find(nullptr)};
    systemePannes = *consigne.reel;
    systemePannes.zName = "pannes";
    systemePannes.szOsFile = (systemePannes.szOsFile + 7) / 8 * 8 + int(sizeof(Suite));
    systemePannes.xOpen = Ouvre;
    systemePannes.xDelete = Supprime;
    sqlite3_vfs_register(&systemePannes, 1);
    static OperationsPannes operations;
    InstalleOperationsFichiers(&operations);
}

} // namespace

Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne, int n, int erreur,
                     const std::function<void()> &avant)
{
    void *partage = mmap(nullptr, sizeof(Essai), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (partage == MAP_FAILED)
        return {};
    Essai *compte = new (partage) Essai;
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (avant)
            avant();
        if (!dossier.isEmpty())
            InstalleCouches(compte, QFile::encodeName(dossier), panne, n, erreur);
        int code = 99;
        try {
            code = operation();
        } catch (...) {
            code = 98;
        }
        fflush(nullptr);
        _exit(code);
    }
    int statut = 0;
    while (pid > 0 && waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    // A failed fork ends neither way.
    const Essai essai{compte->points, compte->atteint, WIFSIGNALED(statut),
                      pid > 0 && WIFEXITED(statut) ? WEXITSTATUS(statut) : -1};
    munmap(partage, sizeof(Essai));
    return essai;
}

} // namespace oxi::test
