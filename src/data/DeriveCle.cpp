#include "DeriveCle.h"
#include "ContexteDonnees.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <cstring>
#include <fcntl.h>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

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
    struct stat etat
    {
    };
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

using Contexte = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;
constexpr int TailleEmpreinte = 20;
constexpr int TailleBloc = 64;

// The SHA-1 state after one 64-byte pad block of HMAC.
bool Prepare(EVP_MD_CTX *etat, const EVP_MD *sha1, const unsigned char *cle, unsigned char masque)
{
    unsigned char pad[TailleBloc];
    for (int i = 0; i < TailleBloc; ++i)
        pad[i] = cle[i] ^ masque;
    return EVP_DigestInit_ex(etat, sha1, nullptr) == 1 && EVP_DigestUpdate(etat, pad, TailleBloc) == 1;
}

// HMAC of `message` from the saved pad states into `empreinte`.
bool Hmac(EVP_MD_CTX *travail, const EVP_MD_CTX *interne, const EVP_MD_CTX *externe,
          std::initializer_list<std::pair<const void *, size_t>> message, unsigned char *empreinte)
{
    if (EVP_MD_CTX_copy_ex(travail, interne) != 1)
        return false;
    for (const auto &[octets, taille] : message)
        if (EVP_DigestUpdate(travail, octets, taille) != 1)
            return false;
    return EVP_DigestFinal_ex(travail, empreinte, nullptr) == 1 && EVP_MD_CTX_copy_ex(travail, externe) == 1
        && EVP_DigestUpdate(travail, empreinte, TailleEmpreinte) == 1 && EVP_DigestFinal_ex(travail, empreinte, nullptr) == 1;
}

// Block `numero` (from 1) of PBKDF2-HMAC-SHA1, 20 bytes; empty on failure.
// Each round starts from copies of the two pad states, never from the key.
QByteArray BlocPbkdf2(const QByteArray &secret, const QByteArray &sel, int iterations, quint32 numero)
{
    const std::unique_ptr<EVP_MD, decltype(&EVP_MD_free)> sha1(EVP_MD_fetch(nullptr, "SHA1", nullptr), EVP_MD_free);
    const Contexte interne(EVP_MD_CTX_new(), EVP_MD_CTX_free), externe(EVP_MD_CTX_new(), EVP_MD_CTX_free),
        travail(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    if (!sha1 || !interne || !externe || !travail)
        return {};
    unsigned char cle[TailleBloc] = {};
    if (secret.size() > TailleBloc) {
        if (EVP_Digest(secret.constData(), size_t(secret.size()), cle, nullptr, sha1.get(), nullptr) != 1)
            return {};
    } else {
        std::memcpy(cle, secret.constData(), size_t(secret.size()));
    }
    if (!Prepare(interne.get(), sha1.get(), cle, 0x36) || !Prepare(externe.get(), sha1.get(), cle, 0x5c))
        return {};
    const unsigned char compteur[4] = {static_cast<unsigned char>(numero >> 24), static_cast<unsigned char>(numero >> 16),
                                       static_cast<unsigned char>(numero >> 8), static_cast<unsigned char>(numero)};
    unsigned char u[TailleEmpreinte];
    if (!Hmac(travail.get(), interne.get(), externe.get(), {{sel.constData(), size_t(sel.size())}, {compteur, 4}}, u))
        return {};
    // A plain array: a QByteArray would check for sharing at every byte of every round.
    unsigned char bloc[TailleEmpreinte];
    std::memcpy(bloc, u, TailleEmpreinte);
    for (int i = 1; i < iterations; ++i) {
        if (!Hmac(travail.get(), interne.get(), externe.get(), {{u, TailleEmpreinte}}, u))
            return {};
        for (int j = 0; j < TailleEmpreinte; ++j)
            bloc[j] ^= u[j];
    }
    return QByteArray(reinterpret_cast<const char *>(bloc), TailleEmpreinte);
}

} // namespace

// PBKDF2-HMAC-SHA1 (RFC 8018) over OpenSSL's digest interface rather than
// PKCS5_PBKDF2_HMAC, which computes the blocks one after the other: here each
// block has a thread of its own, so the page key (two blocks) takes the time
// of one, and the start does not wait for it while Qt starts.
QByteArray Pbkdf2Sha1(const QByteArray &secret, const QByteArray &sel, int iterations, int taille)
{
    PrepareOpenSsl();
    const int nombre = (taille + TailleEmpreinte - 1) / TailleEmpreinte;
    std::vector<std::future<QByteArray>> suivants;
    for (int numero = 2; numero <= nombre; ++numero)
        suivants.push_back(std::async(std::launch::async, BlocPbkdf2, secret, sel, iterations, quint32(numero)));
    QByteArray resultat = BlocPbkdf2(secret, sel, iterations, 1);
    bool complet = resultat.size() == TailleEmpreinte;
    for (auto &suivant : suivants) {
        const QByteArray bloc = suivant.get();
        complet = complet && bloc.size() == TailleEmpreinte;
        resultat += bloc;
    }
    if (!complet)
        return {};
    resultat.truncate(taille);
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
    ContexteDonnees &contexte = ContexteDonnees::Courant();
    std::shared_future<QByteArray> prete;
    {
        const std::lock_guard<std::mutex> verrou(contexte.verrouDerivation);
        const auto &derniere = contexte.derivation;
        if (derniere && derniere->secret == secret && derniere->sel == sel && derniere->iterations == tours)
            prete = derniere->cle;
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
        const std::lock_guard<std::mutex> verrou(contexte.verrouDerivation);
        contexte.derivation = DerivationCle{secret, sel, tours, faite.get_future().share()};
    }
    return "x'" + derivee.toHex() + '\'';
}

// Its error texts are never shown to the user (messages are Oxi's own) and
// cost half a megabyte of every process: they are not loaded.
void PrepareOpenSsl()
{
    OPENSSL_init_crypto(OPENSSL_INIT_NO_LOAD_CRYPTO_STRINGS, nullptr);
}

void PrepareCle(const QString &chemin, const QString &cle)
{
    const QByteArray sel = cle.isEmpty() ? QByteArray() : LitSel(chemin);
    if (sel.isEmpty())
        return;
    const QByteArray secret = cle.toUtf8();
    if (!LitCleGardee(secret, sel, IterationsParDefaut).isEmpty())
        return;
    ContexteDonnees &contexte = ContexteDonnees::Courant();
    const std::lock_guard<std::mutex> verrou(contexte.verrouDerivation);
    contexte.derivation =
        DerivationCle{secret, sel, IterationsParDefaut,
                      std::async(std::launch::async, Pbkdf2Sha1, secret, sel, IterationsParDefaut, TailleCle).share()};
}

} // namespace oxi
