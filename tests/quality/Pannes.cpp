#include "Pannes.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

namespace oxi::test {

namespace {

QByteArray Lien(pid_t pid, const QByteArray &chemin)
{
    char tampon[4096];
    const QByteArray lien = "/proc/" + QByteArray::number(pid) + chemin;
    const ssize_t n = readlink(lien.constData(), tampon, sizeof tampon - 1);
    return n > 0 ? QByteArray(tampon, int(n)) : QByteArray();
}

QByteArray CibleDescripteur(pid_t pid, long long fd)
{
    return Lien(pid, "/fd/" + QByteArray::number(fd));
}

QByteArray LitChaine(pid_t pid, unsigned long long adresse)
{
    QFile memoire(QStringLiteral("/proc/%1/mem").arg(pid));
    if (!adresse || !memoire.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || !memoire.seek(qint64(adresse)))
        return {};
    QByteArray texte;
    char tampon[256];
    while (texte.size() < 4096) {
        const qint64 lu = memoire.read(tampon, sizeof tampon);
        if (lu <= 0)
            break;
        const int fin = QByteArray(tampon, int(lu)).indexOf('\0');
        if (fin >= 0)
            return texte + QByteArray(tampon, fin);
        texte += QByteArray(tampon, int(lu));
    }
    return texte;
}

// A path argument of a *at call made absolute.
QByteArray CheminAt(pid_t pid, long long dirfd, unsigned long long adresse)
{
    const QByteArray chemin = LitChaine(pid, adresse);
    if (chemin.startsWith('/'))
        return chemin;
    const QByteArray base = int(dirfd) == AT_FDCWD ? Lien(pid, "/cwd") : CibleDescripteur(pid, dirfd);
    return base + '/' + chemin;
}

bool Sous(const QByteArray &chemin, const QByteArray &dossier)
{
    return chemin == dossier || chemin.startsWith(dossier + '/');
}

// Does this call, about to run, change a file under `dossier`?
bool Modifie(pid_t pid, const user_regs_struct &r, const QByteArray &dossier)
{
    const auto a = [&](int i) -> unsigned long long {
        switch (i) {
        case 0: return r.rdi;
        case 1: return r.rsi;
        case 2: return r.rdx;
        case 3: return r.r10;
        default: return r.r8;
        }
    };
    switch (long(r.orig_rax)) {
    case SYS_write:
    case SYS_pwrite64:
    case SYS_writev:
    case SYS_pwritev:
    case SYS_pwritev2:
    case SYS_ftruncate:
    case SYS_fsync:
    case SYS_fdatasync:
    case SYS_fallocate:
        return Sous(CibleDescripteur(pid, (long long)a(0)), dossier);
    case SYS_copy_file_range:
        return Sous(CibleDescripteur(pid, (long long)a(2)), dossier);
    case SYS_sendfile:
        return Sous(CibleDescripteur(pid, (long long)a(0)), dossier);
    case SYS_ioctl:
        return a(1) == FICLONE && Sous(CibleDescripteur(pid, (long long)a(0)), dossier);
    case SYS_truncate:
    case SYS_unlink:
    case SYS_rmdir:
    case SYS_mkdir:
    case SYS_rename:
    case SYS_link:
        return Sous(CheminAt(pid, AT_FDCWD, a(0)), dossier)
            || ((r.orig_rax == SYS_rename || r.orig_rax == SYS_link) && Sous(CheminAt(pid, AT_FDCWD, a(1)), dossier));
    case SYS_open:
    case SYS_creat:
        return (r.orig_rax == SYS_creat || (a(1) & (O_CREAT | O_TRUNC))) && Sous(CheminAt(pid, AT_FDCWD, a(0)), dossier);
    case SYS_openat:
        return (a(2) & (O_CREAT | O_TRUNC)) && Sous(CheminAt(pid, (long long)a(0), a(1)), dossier);
    case SYS_unlinkat:
    case SYS_mkdirat:
        return Sous(CheminAt(pid, (long long)a(0), a(1)), dossier);
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_linkat:
        return Sous(CheminAt(pid, (long long)a(0), a(1)), dossier) || Sous(CheminAt(pid, (long long)a(2), a(3)), dossier);
    default:
        return false;
    }
}

// Only the calls that may change a file stop the child: the rest run at full speed.
void FiltreAppels()
{
    static const unsigned appels[] = {
        SYS_write, SYS_pwrite64, SYS_writev, SYS_pwritev, SYS_pwritev2, SYS_ftruncate, SYS_fsync,
        SYS_fdatasync, SYS_fallocate, SYS_copy_file_range, SYS_sendfile, SYS_ioctl, SYS_truncate,
        SYS_unlink, SYS_rmdir, SYS_mkdir, SYS_rename, SYS_link, SYS_open, SYS_creat, SYS_openat,
        SYS_unlinkat, SYS_mkdirat, SYS_renameat, SYS_renameat2, SYS_linkat,
    };
    constexpr unsigned nombre = sizeof appels / sizeof appels[0];
    sock_filter programme[nombre + 5];
    unsigned i = 0;
    programme[i++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch));
    programme[i++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, nombre + 1);
    programme[i++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr));
    for (unsigned k = 0; k < nombre; ++k)
        programme[i++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, appels[k], nombre - k, 0);
    programme[i++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    programme[i++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRACE);
    sock_fprog filtre{static_cast<unsigned short>(i), programme};
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filtre) != 0)
        _exit(96);
}

[[noreturn]] void FinEnfant(const std::function<int()> &operation)
{
    int code = 99;
    try {
        code = operation();
    } catch (...) {
        code = 98;
    }
    fflush(nullptr);
    _exit(code);
}

} // namespace

Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne, int n, int erreur,
                     const std::function<void()> &avantOperation)
{
    const QByteArray racine = QFile::encodeName(dossier);
    Essai essai;
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return essai;
    if (pid == 0) {
        if (avantOperation)
            avantOperation();
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        raise(SIGSTOP);
        FiltreAppels();
        FinEnfant(operation);
    }
    int statut = 0;
    waitpid(pid, &statut, 0);
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESECCOMP | PTRACE_O_EXITKILL);
    ptrace(PTRACE_CONT, pid, nullptr, nullptr);
    while (waitpid(pid, &statut, 0) == pid) {
        if (WIFEXITED(statut)) {
            essai.code = WEXITSTATUS(statut);
            break;
        }
        if (WIFSIGNALED(statut)) {
            essai.tue = true;
            break;
        }
        int signal = 0;
        if (WIFSTOPPED(statut) && (statut >> 8) == (SIGTRAP | (PTRACE_EVENT_SECCOMP << 8))) {
            // Stopped before the call runs: count it, then kill or make it fail.
            user_regs_struct regs;
            ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            if (!essai.atteint && Modifie(pid, regs, racine)) {
                ++essai.points;
                if (qEnvironmentVariableIsSet("OXI_TRACE_PANNES"))
                    fprintf(stderr, "point %d: appel %lld, fd/chemin %s\n", essai.points, (long long)regs.orig_rax,
                            CibleDescripteur(pid, (long long)regs.rdi).constData());
                if (panne != Panne::Aucune && essai.points == n) {
                    essai.atteint = true;
                    if (panne == Panne::Tue) {
                        kill(pid, SIGKILL);
                    } else {
                        regs.orig_rax = (unsigned long long)-1;
                        regs.rax = (unsigned long long)(long long)-erreur;
                        ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
                    }
                }
            }
        } else if (WIFSTOPPED(statut)) {
            signal = WSTOPSIG(statut);
        }
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void *>(long(signal)));
    }
    return essai;
}

int LanceDansEnfant(const std::function<int()> &operation, const std::function<void()> &avantOperation)
{
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (avantOperation)
            avantOperation();
        FinEnfant(operation);
    }
    int statut = 0;
    waitpid(pid, &statut, 0);
    return WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
}

} // namespace oxi::test
