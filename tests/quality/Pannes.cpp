#include "Pannes.h"

#include <QFile>

#include <algorithm>
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

// How each file-changing call names its target: a descriptor in argument n
// ('0', '2'), a path ('p'), two paths ('P'), *at forms ('a', 'A'), opens
// that create or truncate ('o', 'O'), a clone ioctl ('i').
struct Appel {
    unsigned numero;
    char cible;
};
const Appel Appels[] = {
    {SYS_write, '0'}, {SYS_pwrite64, '0'}, {SYS_writev, '0'}, {SYS_pwritev, '0'}, {SYS_pwritev2, '0'},
    {SYS_ftruncate, '0'}, {SYS_fsync, '0'}, {SYS_fdatasync, '0'}, {SYS_fallocate, '0'}, {SYS_sendfile, '0'},
    {SYS_copy_file_range, '2'}, {SYS_ioctl, 'i'}, {SYS_truncate, 'p'}, {SYS_unlink, 'p'}, {SYS_rmdir, 'p'},
    {SYS_mkdir, 'p'}, {SYS_creat, 'p'}, {SYS_rename, 'P'}, {SYS_link, 'P'}, {SYS_open, 'o'}, {SYS_openat, 'O'},
    {SYS_unlinkat, 'a'}, {SYS_mkdirat, 'a'}, {SYS_renameat, 'A'}, {SYS_renameat2, 'A'}, {SYS_linkat, 'A'},
};
constexpr unsigned NombreAppels = sizeof Appels / sizeof Appels[0];

QByteArray Lien(pid_t pid, const QByteArray &chemin)
{
    char tampon[4096];
    const ssize_t n = readlink(("/proc/" + QByteArray::number(pid) + chemin).constData(), tampon, sizeof tampon);
    return n > 0 ? QByteArray(tampon, int(n)) : QByteArray();
}

QByteArray Descripteur(pid_t pid, unsigned long long fd)
{
    return Lien(pid, "/fd/" + QByteArray::number(fd));
}

// A path argument of the child, made absolute. The memory file stops a read
// at the first page that is not mapped, after the bytes before it.
QByteArray Chemin(pid_t pid, unsigned long long dirfd, unsigned long long adresse)
{
    char tampon[4096] = {};
    const int fd = open(("/proc/" + QByteArray::number(pid) + "/mem").constData(), O_RDONLY);
    if (fd >= 0 && adresse && pread(fd, tampon, sizeof tampon - 1, off_t(adresse)) < 0)
        tampon[0] = '\0';
    if (fd >= 0)
        close(fd);
    const QByteArray chemin(tampon);
    if (chemin.startsWith('/'))
        return chemin;
    return (int(dirfd) == AT_FDCWD ? Lien(pid, "/cwd") : Descripteur(pid, dirfd)) + '/' + chemin;
}

// Does this call, about to run, change a file under `dossier`?
bool Modifie(pid_t pid, const user_regs_struct &r, const QByteArray &dossier)
{
    const auto sous = [&](const QByteArray &c) { return c == dossier || c.startsWith(dossier + '/'); };
    const unsigned long long a[] = {r.rdi, r.rsi, r.rdx, r.r10};
    const auto appel = std::find_if(std::begin(Appels), std::end(Appels), [&](const Appel &x) { return x.numero == r.orig_rax; });
    switch (appel == std::end(Appels) ? ' ' : appel->cible) {
    case '0': return sous(Descripteur(pid, a[0]));
    case '2': return sous(Descripteur(pid, a[2]));
    case 'i': return a[1] == FICLONE && sous(Descripteur(pid, a[0]));
    case 'p': return sous(Chemin(pid, AT_FDCWD, a[0]));
    case 'P': return sous(Chemin(pid, AT_FDCWD, a[0])) || sous(Chemin(pid, AT_FDCWD, a[1]));
    case 'o': return (a[1] & (O_CREAT | O_TRUNC)) && sous(Chemin(pid, AT_FDCWD, a[0]));
    case 'O': return (a[2] & (O_CREAT | O_TRUNC)) && sous(Chemin(pid, a[0], a[1]));
    case 'a': return sous(Chemin(pid, a[0], a[1]));
    case 'A': return sous(Chemin(pid, a[0], a[1])) || sous(Chemin(pid, a[2], a[3]));
    default: return false;
    }
}

// Only the calls that may change a file stop the child: the rest run at full speed.
void FiltreAppels()
{
    sock_filter programme[NombreAppels + 5];
    unsigned i = 0;
    programme[i++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch));
    programme[i++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, NombreAppels + 1);
    programme[i++] = BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr));
    for (unsigned k = 0; k < NombreAppels; ++k)
        programme[i++] = BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, Appels[k].numero, static_cast<__u8>(NombreAppels - k), 0);
    programme[i++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW);
    programme[i++] = BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_TRACE);
    sock_fprog filtre{static_cast<unsigned short>(i), programme};
    prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
    if (prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filtre) != 0)
        _exit(96);
}

} // namespace

Essai LanceAvecPanne(const std::function<int()> &operation, const QString &dossier, Panne panne, int n, int erreur,
                     const std::function<void()> &avant)
{
    const QByteArray racine = QFile::encodeName(dossier);
    const bool trace = !racine.isEmpty();
    Essai essai;
    fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0)
        return essai;
    if (pid == 0) {
        if (avant)
            avant();
        if (trace) {
            ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
            raise(SIGSTOP);
            FiltreAppels();
        }
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
    if (trace) {
        waitpid(pid, &statut, 0);
        ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESECCOMP | PTRACE_O_EXITKILL);
        ptrace(PTRACE_CONT, pid, nullptr, nullptr);
    }
    while (waitpid(pid, &statut, 0) == pid && !WIFEXITED(statut) && !WIFSIGNALED(statut)) {
        int signal = WSTOPSIG(statut);
        if ((statut >> 8) == (SIGTRAP | (PTRACE_EVENT_SECCOMP << 8))) {
            // Stopped before the call runs: count it, then kill or make it fail.
            signal = 0;
            user_regs_struct regs;
            ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
            if (!essai.atteint && Modifie(pid, regs, racine) && ++essai.points == n && panne != Panne::Aucune) {
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
        ptrace(PTRACE_CONT, pid, nullptr, reinterpret_cast<void *>(long(signal)));
    }
    essai.tue = WIFSIGNALED(statut);
    essai.code = WIFEXITED(statut) ? WEXITSTATUS(statut) : -1;
    return essai;
}

} // namespace oxi::test
