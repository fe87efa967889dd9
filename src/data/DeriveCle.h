#pragma once
#include <QByteArray>
#include <QString>

#include <future>

// The page key of a keyed file, derived here rather than by the library so
// that the start can derive it on a second core while Qt starts.
namespace oxi {

// PBKDF2-HMAC-SHA1 of `secret` over `sel`: `taille` bytes, empty on failure.
QByteArray Pbkdf2Sha1(const QByteArray &secret, const QByteArray &sel, int iterations, int taille);
// The page key of an existing keyed file as a raw key for the library
// ("x'<hex>'"), `iterations` > 0 for the older formats; empty when the file
// has no salt to read, is not a regular file, or the key is empty.
QByteArray CleBrute(const QString &chemin, const QString &cle, int iterations = 0);
// Starts deriving the page key of the keyed file `chemin` on a thread of its
// own, so that opening it later waits for that work instead of doing it again.
// Only the file's salt is read: nothing is opened, nothing written; a file that
// is never opened, or that changed meanwhile, just wastes the work.
void PrepareCle(const QString &chemin, const QString &cle);
// Sets OpenSSL up before its first use, by this file or by the library.
void PrepareOpenSsl();

// A derivation started ahead by PrepareCle or done by CleBrute, found again by what it derives from.
struct DerivationCle
{
    QByteArray secret;
    QByteArray sel;
    int iterations = 0;
    std::shared_future<QByteArray> cle;
};

} // namespace oxi
