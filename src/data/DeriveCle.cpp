#include "DeriveCle.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <openssl/evp.h>

#include <fcntl.h>
#include <future>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace oxi {

namespace {

// The library's page-key derivation: PBKDF2-HMAC-SHA1 over the file's
// 16-byte salt, a 32-byte key, 64,000 rounds unless told otherwise.
constexpr int IterationsParDefaut = 64000;
constexpr int TailleSel = 16;
constexpr int TailleCle = 32;

// The first bytes of a regular file. Anything else (a FIFO, a device, a
// folder) is never opened for reading: a FIFO would block the start.
QByteArray LitSel(const QString &chemin)
{
    const QByteArray nom = QFile::encodeName(chemin);
    struct stat etat {};
    if (::stat(nom.constData(), &etat) != 0 || !S_ISREG(etat.st_mode))
        return {};
    // Replaced by something else between the two calls: still no wait.
    const int fd = ::open(nom.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray sel(TailleSel, '\0');
    const bool lu = ::fstat(fd, &etat) == 0 && S_ISREG(etat.st_mode) && ::pread(fd, sel.data(), TailleSel, 0) == TailleSel;
    ::close(fd);
    return lu ? sel : QByteArray();
}

// Derived keys kept for the session in the user's private runtime folder, so that
// a later process (the command line above all) skips the 64,000 rounds. The
// passphrase is the program's own constant: the derived key tells nothing more.
QString FichierCle(const QByteArray &secret, const QByteArray &sel, int tours)
{
    const QFileInfo dossier(qEnvironmentVariable("XDG_RUNTIME_DIR"));
    if (dossier.filePath().isEmpty() || !dossier.isDir() || !dossier.isWritable()
        || (dossier.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteOther)))
        return {};
    const QByteArray nom = QCryptographicHash::hash(secret + sel + QByteArray::number(tours), QCryptographicHash::Sha256);
    return dossier.filePath() + QStringLiteral("/oxi-cle-") + QString::fromLatin1(nom.toHex().left(32));
}

QByteArray LitCleGardee(const QByteArray &secret, const QByteArray &sel, int tours)
{
    QFile fichier(FichierCle(secret, sel, tours));
    if (fichier.fileName().isEmpty() || !fichier.open(QIODevice::ReadOnly))
        return {};
    const QByteArray cle = QByteArray::fromHex(fichier.read(2 * TailleCle));
    return cle.size() == TailleCle ? cle : QByteArray();
}

void GardeCle(const QByteArray &secret, const QByteArray &sel, int tours, const QByteArray &cle)
{
    const QString chemin = FichierCle(secret, sel, tours);
    if (chemin.isEmpty() || QFileInfo::exists(chemin))
        return;
    QSaveFile fichier(chemin);
    if (fichier.open(QIODevice::WriteOnly) && fichier.write(cle.toHex()) == 2 * TailleCle)
        fichier.commit();
}

// The last derivation, started ahead by PrepareCle or done by CleBrute,
// found again by what it derives from.
struct Preparation
{
    QByteArray secret;
    QByteArray sel;
    int iterations = 0;
    std::shared_future<QByteArray> cle;
};
std::mutex verrouPreparation;
std::optional<Preparation> preparation;

} // namespace

QByteArray Pbkdf2Sha1(const QByteArray &secret, const QByteArray &sel, int iterations, int taille)
{
    QByteArray resultat(taille, '\0');
    if (PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()), reinterpret_cast<const unsigned char *>(sel.constData()),
                          int(sel.size()), iterations, EVP_sha1(), taille, reinterpret_cast<unsigned char *>(resultat.data()))
        != 1)
        return {};
    return resultat;
}

// Handed to the library as a raw key ("x'...'"), which then skips its own
// derivation.
QByteArray CleBrute(const QString &chemin, const QString &cle, int iterations)
{
    const QByteArray sel = cle.isEmpty() ? QByteArray() : LitSel(chemin);
    if (sel.isEmpty())
        return {};
    const QByteArray secret = cle.toUtf8();
    const int tours = iterations > 0 ? iterations : IterationsParDefaut;
    std::shared_future<QByteArray> prete;
    {
        const std::lock_guard<std::mutex> verrou(verrouPreparation);
        if (preparation && preparation->secret == secret && preparation->sel == sel && preparation->iterations == tours)
            prete = preparation->cle;
    }
    QByteArray derivee = prete.valid() ? prete.get() : LitCleGardee(secret, sel, tours);
    const bool gardee = !prete.valid() && !derivee.isEmpty();
    if (derivee.isEmpty()) {
        derivee = Pbkdf2Sha1(secret, sel, tours, TailleCle);
        if (derivee.isEmpty())
            return {};
    }
    if (!gardee)
        GardeCle(secret, sel, tours, derivee);
    if (!prete.valid()) {
        // Kept for the next open of the same file: the start opens it twice
        // (compaction, then connection), a restore opens it again.
        std::promise<QByteArray> faite;
        faite.set_value(derivee);
        const std::lock_guard<std::mutex> verrou(verrouPreparation);
        preparation = Preparation{secret, sel, tours, faite.get_future().share()};
    }
    return "x'" + derivee.toHex() + '\'';
}

void PrepareCle(const QString &chemin, const QString &cle)
{
    const QByteArray sel = cle.isEmpty() ? QByteArray() : LitSel(chemin);
    if (sel.isEmpty())
        return;
    const QByteArray secret = cle.toUtf8();
    if (!LitCleGardee(secret, sel, IterationsParDefaut).isEmpty())
        return;
    const std::lock_guard<std::mutex> verrou(verrouPreparation);
    preparation = Preparation{secret, sel, IterationsParDefaut,
                              std::async(std::launch::async, Pbkdf2Sha1, secret, sel, IterationsParDefaut, TailleCle).share()};
}

} // namespace oxi
