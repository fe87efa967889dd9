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

// What the child counts, shared with the parent, which reads it afterwards.
struct Compte
{
    int points = 0;
    bool atteint = false;
};

// The fault the child is to meet. Set in the child only, after the fork.
struct Consigne
{
    Compte *compte = nullptr;
    QByteArray dossier;
    Panne panne = Panne::Aucune;
    int n = 0;
    int erreur = 0;
    sqlite3_vfs *reel = nullptr;
};
Consigne consigne;

bool Sous(const char *chemin)
{
    if (!chemin)
        return false;
    const QByteArray c(chemin);
    return c == consigne.dossier || c.startsWith(consigne.dossier + '/');
}

// One file-changing operation about to run: true when it must fail. A
// killed child ends before the operation, with nothing flushed.
bool Point(bool suivi)
{
    if (!suivi || consigne.compte->atteint)
        return false;
    if (++consigne.compte->points != consigne.n || consigne.panne == Panne::Aucune)
        return false;
    consigne.compte->atteint = true;
    if (consigne.panne == Panne::Tue)
        kill(getpid(), SIGKILL);
    return true;
}

int CodeSqlite(int ioerr)
{
    const int e = consigne.erreur;
    return e == ENOSPC || e == EDQUOT || e == EFBIG ? SQLITE_FULL : ioerr;
}

// The test's file-system layer over the system's: a file of the library,
// followed when it lies under the folder, the real file right after it.
struct Fichier
{
    sqlite3_file base;
    bool suivi;
    sqlite3_file *reel() { return reinterpret_cast<sqlite3_file *>(this + 1); }
};
Fichier *F(sqlite3_file *f) { return reinterpret_cast<Fichier *>(f); }

int Ferme(sqlite3_file *f)
{
    return F(f)->reel()->pMethods->xClose(F(f)->reel());
}
int Lit(sqlite3_file *f, void *t, int n, sqlite3_int64 o)
{
    return F(f)->reel()->pMethods->xRead(F(f)->reel(), t, n, o);
}
int Ecrit(sqlite3_file *f, const void *t, int n, sqlite3_int64 o)
{
    return Point(F(f)->suivi) ? CodeSqlite(SQLITE_IOERR_WRITE) : F(f)->reel()->pMethods->xWrite(F(f)->reel(), t, n, o);
}
int Tronque(sqlite3_file *f, sqlite3_int64 taille)
{
    return Point(F(f)->suivi) ? SQLITE_IOERR_TRUNCATE : F(f)->reel()->pMethods->xTruncate(F(f)->reel(), taille);
}
int Synchronise(sqlite3_file *f, int drapeaux)
{
    return Point(F(f)->suivi) ? SQLITE_IOERR_FSYNC : F(f)->reel()->pMethods->xSync(F(f)->reel(), drapeaux);
}
int Taille(sqlite3_file *f, sqlite3_int64 *t)
{
    return F(f)->reel()->pMethods->xFileSize(F(f)->reel(), t);
}
int Verrouille(sqlite3_file *f, int v)
{
    return F(f)->reel()->pMethods->xLock(F(f)->reel(), v);
}
int Deverrouille(sqlite3_file *f, int v)
{
    return F(f)->reel()->pMethods->xUnlock(F(f)->reel(), v);
}
int Reserve(sqlite3_file *f, int *r)
{
    return F(f)->reel()->pMethods->xCheckReservedLock(F(f)->reel(), r);
}
int Controle(sqlite3_file *f, int op, void *arg)
{
    return F(f)->reel()->pMethods->xFileControl(F(f)->reel(), op, arg);
}
int Secteur(sqlite3_file *f)
{
    return F(f)->reel()->pMethods->xSectorSize(F(f)->reel());
}
int Caracteristiques(sqlite3_file *f)
{
    return F(f)->reel()->pMethods->xDeviceCharacteristics(F(f)->reel());
}

// Version 1 only: no shared memory, no mapping, so the library writes
// every page through xWrite where it is counted.
const sqlite3_io_methods Methodes = {.iVersion = 1,
                                     .xClose = Ferme,
                                     .xRead = Lit,
                                     .xWrite = Ecrit,
                                     .xTruncate = Tronque,
                                     .xSync = Synchronise,
                                     .xFileSize = Taille,
                                     .xLock = Verrouille,
                                     .xUnlock = Deverrouille,
                                     .xCheckReservedLock = Reserve,
                                     .xFileControl = Controle,
                                     .xSectorSize = Secteur,
                                     .xDeviceCharacteristics = Caracteristiques,
                                     .xShmMap = nullptr,
                                     .xShmLock = nullptr,
                                     .xShmBarrier = nullptr,
                                     .xShmUnmap = nullptr,
                                     .xFetch = nullptr,
                                     .xUnfetch = nullptr};

int Ouvre(sqlite3_vfs *, const char *nom, sqlite3_file *f, int drapeaux, int *sortie)
{
    Fichier *fichier = F(f);
    fichier->base.pMethods = nullptr;
    fichier->suivi = Sous(nom);
    if ((drapeaux & SQLITE_OPEN_CREATE) && Point(fichier->suivi))
        return SQLITE_CANTOPEN;
    const int rc = consigne.reel->xOpen(consigne.reel, nom, fichier->reel(), drapeaux, sortie);
    if (fichier->reel()->pMethods)
        fichier->base.pMethods = &Methodes;
    return rc;
}

int Supprime(sqlite3_vfs *, const char *nom, int synchro)
{
    return Point(Sous(nom)) ? SQLITE_IOERR_DELETE : consigne.reel->xDelete(consigne.reel, nom, synchro);
}

// The rest goes straight to the system's layer.
int Acces(sqlite3_vfs *, const char *n, int d, int *r) { return consigne.reel->xAccess(consigne.reel, n, d, r); }
int CheminComplet(sqlite3_vfs *, const char *n, int t, char *s) { return consigne.reel->xFullPathname(consigne.reel, n, t, s); }
void *OuvreBibliotheque(sqlite3_vfs *, const char *n) { return consigne.reel->xDlOpen(consigne.reel, n); }
void ErreurBibliotheque(sqlite3_vfs *, int n, char *s) { consigne.reel->xDlError(consigne.reel, n, s); }
void (*Symbole(sqlite3_vfs *, void *b, const char *s))() { return consigne.reel->xDlSym(consigne.reel, b, s); }
void FermeBibliotheque(sqlite3_vfs *, void *b) { consigne.reel->xDlClose(consigne.reel, b); }
int Hasard(sqlite3_vfs *, int n, char *s) { return consigne.reel->xRandomness(consigne.reel, n, s); }
int Dort(sqlite3_vfs *, int us) { return consigne.reel->xSleep(consigne.reel, us); }
int Heure(sqlite3_vfs *, double *t) { return consigne.reel->xCurrentTime(consigne.reel, t); }
int DerniereErreur(sqlite3_vfs *, int n, char *s) { return consigne.reel->xGetLastError(consigne.reel, n, s); }

sqlite3_vfs systemePannes = {.iVersion = 1,
                             .szOsFile = 0,   // known once the system's layer is
                             .mxPathname = 0, // known once the system's layer is
                             .pNext = nullptr,
                             .zName = "pannes",
                             .pAppData = nullptr,
                             .xOpen = Ouvre,
                             .xDelete = Supprime,
                             .xAccess = Acces,
                             .xFullPathname = CheminComplet,
                             .xDlOpen = OuvreBibliotheque,
                             .xDlError = ErreurBibliotheque,
                             .xDlSym = Symbole,
                             .xDlClose = FermeBibliotheque,
                             .xRandomness = Hasard,
                             .xSleep = Dort,
                             .xCurrentTime = Heure,
                             .xGetLastError = DerniereErreur,
                             .xCurrentTimeInt64 = nullptr,
                             .xSetSystemCall = nullptr,
                             .xGetSystemCall = nullptr,
                             .xNextSystemCall = nullptr};

// The data layer's own file operations, counted and failed the same way.
class OperationsPannes : public OperationsFichiers
{
public:
    QString CreeTemporaire(const QString &modele) override
    {
        return Echoue(modele) ? QString() : OperationsFichiers::CreeTemporaire(modele);
    }
    bool Renomme(const QString &de, const QString &vers) override
    {
        return !Echoue(de, vers) && OperationsFichiers::Renomme(de, vers);
    }
    bool Supprime(const QString &chemin) override { return !Echoue(chemin) && OperationsFichiers::Supprime(chemin); }

private:
    static bool Echoue(const QString &a, const QString &b = {})
    {
        const bool suivi = Sous(QFile::encodeName(a).constData()) || (!b.isEmpty() && Sous(QFile::encodeName(b).constData()));
        if (!Point(suivi))
            return false;
        errno = consigne.erreur;
        return true;
    }
};

void InstalleCouches(Compte *compte, const QByteArray &dossier, Panne panne, int n, int erreur)
{
    consigne = Consigne{compte, dossier, panne, n, erreur, sqlite3_vfs_find(nullptr)};
    systemePannes.szOsFile = int(sizeof(Fichier)) + consigne.reel->szOsFile;
    systemePannes.mxPathname = consigne.reel->mxPathname;
    sqlite3_vfs_register(&systemePannes, 1);
    static OperationsPannes operations;
    InstalleOperationsFichiers(&operations);
}

} // namespace

Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne, int n, int erreur,
                     const std::function<void()> &avant)
{
    Essai essai;
    void *partage = mmap(nullptr, sizeof(Compte), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (partage == MAP_FAILED)
        return essai;
    Compte *compte = new (partage) Compte;
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) {
        munmap(partage, sizeof(Compte));
        return essai;
    }
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
    while (waitpid(pid, &statut, 0) < 0 && errno == EINTR) {
    }
    essai.points = compte->points;
    essai.atteint = compte->atteint;
    essai.tue = WIFSIGNALED(statut);
    essai.code = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    munmap(partage, sizeof(Compte));
    return essai;
}

} // namespace oxi::test
