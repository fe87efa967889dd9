#include "VerrouInstance.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace oxi {

VerrouInstance::VerrouInstance(const QString &chemin) : m_chemin(chemin)
{
}

VerrouInstance::~VerrouInstance()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool VerrouInstance::Prend()
{
    if (m_fd >= 0)
        return true;
    // The file itself is never removed: removing it would let a second start
    // lock a new file while the first still holds the old one.
    const QByteArray chemin = QFile::encodeName(m_chemin);
    const int fd = ::open(chemin.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    m_impossible = fd < 0;
    if (fd < 0)
        return false;
    int resultat;
    do {
        resultat = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (resultat != 0 && errno == EINTR);
    if (resultat != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

QString CheminVerrouInstance(const QString &nom)
{
    const QString fichier = QLatin1Char('/') + nom + QStringLiteral(".lock");
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return runtime + fichier;
    // Qt makes /tmp/runtime-<user> with mode 0700 and refuses one owned by someone else.
    const QString repli = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!repli.isEmpty() && QFileInfo(repli).isDir())
        return repli + fichier;
    return CheminVerrouSecours(nom);
}

QString CheminVerrouSecours(const QString &nom)
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') + nom;
    QDir().mkpath(config);
    return config + QLatin1Char('/') + nom + QStringLiteral(".lock");
}

} // namespace oxi
