#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Messagerie.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <sqlcipher/sqlite3.h>

// The one-block SHA-1 calls are deprecated in OpenSSL 3 but kept: the
// generic interface costs three times as much on the key derivation.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/sha.h>

#include <array>
#include <cstring>
#include <future>
#include <mutex>
#include <optional>

namespace oxi {

namespace {

Connexion connexionPrincipale;

QString Erreur(sqlite3 *db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("base fermée");
}

void Lie(sqlite3_stmt *requete, int position, const QVariant &valeur)
{
    if (valeur.isNull() || !valeur.isValid()) {
        sqlite3_bind_null(requete, position);
        return;
    }
    switch (valeur.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
        sqlite3_bind_int64(requete, position, valeur.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(requete, position, valeur.toDouble());
        break;
    case QMetaType::QDate: {
        const QByteArray texte = TexteDate(valeur.toDate()).toUtf8();
        sqlite3_bind_text(requete, position, texte.constData(), int(texte.size()), SQLITE_TRANSIENT);
        break;
    }
    case QMetaType::QByteArray: {
        const QByteArray octets = valeur.toByteArray();
        sqlite3_bind_blob(requete, position, octets.constData(), int(octets.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QByteArray texte = valeur.toString().toUtf8();
        sqlite3_bind_text(requete, position, texte.constData(), int(texte.size()), SQLITE_TRANSIENT);
    }
    }
}

QVariant Colonne(sqlite3_stmt *requete, int i)
{
    switch (sqlite3_column_type(requete, i)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(requete, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(requete, i));
    case SQLITE_TEXT:
        return QVariant(QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(requete, i)),
                                          sqlite3_column_bytes(requete, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(requete, i)),
                                   sqlite3_column_bytes(requete, i)));
    default:
        return QVariant();
    }
}

// Runs one statement to its end, collecting rows when asked.
int Passe(sqlite3 *db, const QString &sql, const QVariantList &parametres, Resultat *resultat)
{
    if (!db)
        throw ErreurBase(QStringLiteral("base fermée"));
    const QByteArray texte = sql.toUtf8();
    sqlite3_stmt *requete = nullptr;
    if (sqlite3_prepare_v2(db, texte.constData(), int(texte.size()), &requete, nullptr) != SQLITE_OK)
        throw ErreurBase(Erreur(db));
    for (int i = 0; i < parametres.size(); ++i)
        Lie(requete, i + 1, parametres.at(i));
    const int nbColonnes = sqlite3_column_count(requete);
    if (resultat) {
        resultat->colonnes.clear();
        for (int i = 0; i < nbColonnes; ++i)
            resultat->colonnes << QString::fromUtf8(sqlite3_column_name(requete, i));
    }
    int rc;
    while ((rc = sqlite3_step(requete)) == SQLITE_ROW) {
        if (!resultat)
            continue;
        QVector<QVariant> ligne(nbColonnes);
        for (int i = 0; i < nbColonnes; ++i)
            ligne[i] = Colonne(requete, i);
        resultat->lignes.append(std::move(ligne));
    }
    sqlite3_finalize(requete);
    if (rc != SQLITE_DONE)
        throw ErreurBase(Erreur(db));
    return sqlite3_changes(db);
}

// The key goes through the API, never through SQL text.
bool AppliqueCle(sqlite3 *db, const QString &cle, int iterations)
{
    const QByteArray octets = cle.toUtf8();
    if (sqlite3_key(db, octets.constData(), int(octets.size())) != SQLITE_OK)
        return false;
    if (iterations > 0) {
        const QByteArray pragma = "PRAGMA kdf_iter = " + QByteArray::number(iterations);
        if (sqlite3_exec(db, pragma.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            return false;
    }
    return true;
}

// The library's page-key derivation: PBKDF2-HMAC-SHA1 over the file's
// 16-byte salt, a 32-byte key, 64,000 rounds unless told otherwise.
constexpr int IterationsParDefaut = 64000;
constexpr int TailleSel = 16;
constexpr int TailleCle = 32;

void EtatSha1(const SHA_CTX &etat, unsigned char *empreinte)
{
    const SHA_LONG mots[5] = {etat.h0, etat.h1, etat.h2, etat.h3, etat.h4};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 4; ++j)
            empreinte[4 * i + j] = static_cast<unsigned char>(mots[i] >> (24 - 8 * j));
}

QByteArray LitSel(const QString &chemin)
{
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly))
        return {};
    const QByteArray sel = fichier.read(TailleSel);
    return sel.size() == TailleSel ? sel : QByteArray();
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

// One derivation started ahead by PrepareCle, found again by what it derives from.
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

// PBKDF2-HMAC-SHA1. Each round hashes one 20-byte block after the 64-byte
// pad, so the padded block is prepared once and each round is two bare
// compressions from the saved pad states.
QByteArray Pbkdf2Sha1(const QByteArray &secret, const QByteArray &sel, int iterations, int taille)
{
    std::array<unsigned char, 64> cle{};
    if (secret.size() > 64)
        SHA1(reinterpret_cast<const unsigned char *>(secret.constData()), size_t(secret.size()), cle.data());
    else
        std::memcpy(cle.data(), secret.constData(), size_t(secret.size()));
    SHA_CTX interne, externe;
    unsigned char pad[64];
    for (int i = 0; i < 64; ++i)
        pad[i] = cle[i] ^ 0x36;
    SHA1_Init(&interne);
    SHA1_Update(&interne, pad, 64);
    for (int i = 0; i < 64; ++i)
        pad[i] = cle[i] ^ 0x5c;
    SHA1_Init(&externe);
    SHA1_Update(&externe, pad, 64);

    // 20 bytes of message, the end marker, the length: 84 bytes in bits.
    unsigned char bloc[64] = {};
    bloc[20] = 0x80;
    bloc[62] = (84 * 8) >> 8;
    bloc[63] = (84 * 8) & 0xff;

    QByteArray resultat;
    for (quint32 numero = 1; resultat.size() < taille; ++numero) {
        const unsigned char compteur[4] = {static_cast<unsigned char>(numero >> 24), static_cast<unsigned char>(numero >> 16),
                                           static_cast<unsigned char>(numero >> 8), static_cast<unsigned char>(numero)};
        unsigned char u[SHA_DIGEST_LENGTH], somme[SHA_DIGEST_LENGTH];
        SHA_CTX etat = interne;
        SHA1_Update(&etat, sel.constData(), size_t(sel.size()));
        SHA1_Update(&etat, compteur, 4);
        SHA1_Final(u, &etat);
        etat = externe;
        SHA1_Update(&etat, u, SHA_DIGEST_LENGTH);
        SHA1_Final(u, &etat);
        std::memcpy(somme, u, SHA_DIGEST_LENGTH);
        for (int i = 1; i < iterations; ++i) {
            std::memcpy(bloc, u, SHA_DIGEST_LENGTH);
            etat = interne;
            SHA1_Transform(&etat, bloc);
            EtatSha1(etat, bloc);
            etat = externe;
            SHA1_Transform(&etat, bloc);
            EtatSha1(etat, u);
            for (int j = 0; j < SHA_DIGEST_LENGTH; ++j)
                somme[j] ^= u[j];
        }
        resultat.append(reinterpret_cast<const char *>(somme), SHA_DIGEST_LENGTH);
    }
    resultat.truncate(taille);
    return resultat;
}

// The page key of an existing file, derived here from its salt and handed
// to the library as a raw key ("x'...'"), which then skips its own, slower
// derivation. Empty when the file has no salt to read.
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
    QByteArray derivee = LitCleGardee(secret, sel, tours);
    if (derivee.isEmpty()) {
        derivee = prete.valid() ? prete.get() : Pbkdf2Sha1(secret, sel, tours, TailleCle);
        GardeCle(secret, sel, tours, derivee);
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

int Resultat::Colonne(const QString &nom) const
{
    for (int i = 0; i < colonnes.size(); ++i)
        if (colonnes.at(i).compare(nom, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QVariant Resultat::Valeur(int ligne, const QString &colonne) const
{
    const int i = Colonne(colonne);
    if (i < 0)
        throw ErreurBase(QStringLiteral("colonne inconnue : ") + colonne);
    return lignes.at(ligne).value(i);
}

Connexion::~Connexion()
{
    Ferme();
}

bool Connexion::OuvreAvec(const QString &chemin, const QString &cle, int drapeaux, int iterations, QString *erreur,
                          const QByteArray &cleBrute)
{
    Ferme();
    sqlite3 *db = nullptr;
    const QByteArray nom = QFile::encodeName(chemin);
    int rc = sqlite3_open_v2(nom.constData(), &db, drapeaux, nullptr);
    bool ok = rc == SQLITE_OK
              && (cleBrute.isEmpty() ? AppliqueCle(db, cle, iterations)
                                     : sqlite3_key(db, cleBrute.constData(), int(cleBrute.size())) == SQLITE_OK);
    // A wrong key or a file that is not a database shows here, on the first read.
    if (ok)
        ok = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok) {
        if (erreur)
            *erreur = Erreur(db);
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 2000);
    // Every page read is decrypted and checked: keep up to 16 MB of them in
    // memory so that a scan of a large file does not pay for it twice.
    sqlite3_exec(db, "PRAGMA cache_size = -16384", nullptr, nullptr, nullptr);
    m_db = db;
    m_chemin = chemin;
    return true;
}

bool Connexion::Ouvre(const QString &chemin, const QString &cle, QString *erreur, int iterations)
{
    return OuvreExistant(chemin, cle, erreur, iterations, SQLITE_OPEN_READWRITE);
}

bool Connexion::OuvreLecture(const QString &chemin, const QString &cle, QString *erreur, int iterations)
{
    return OuvreExistant(chemin, cle, erreur, iterations, SQLITE_OPEN_READONLY);
}

bool Connexion::OuvreExistant(const QString &chemin, const QString &cle, QString *erreur, int iterations, int drapeaux)
{
    // An empty file would silently become a new, empty database.
    const QFileInfo info(chemin);
    if (!info.isFile() || info.size() == 0) {
        if (erreur)
            *erreur = info.isFile() ? QStringLiteral("fichier vide") : QStringLiteral("fichier absent");
        return false;
    }
    // Should the raw key not read the file, the library's own derivation
    // has the last word.
    const QByteArray brute = CleBrute(chemin, cle, iterations);
    if (!brute.isEmpty() && OuvreAvec(chemin, cle, drapeaux, iterations, nullptr, brute))
        return true;
    return OuvreAvec(chemin, cle, drapeaux, iterations, erreur);
}

bool Connexion::Cree(const QString &chemin, const QString &cle, QString *erreur)
{
    if (QFileInfo::exists(chemin)) {
        if (erreur)
            *erreur = QStringLiteral("le fichier existe déjà");
        return false;
    }
    return OuvreAvec(chemin, cle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, 0, erreur);
}

void Connexion::Ferme()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_chemin.clear();
}

Resultat Connexion::Requete(const QString &sql, const QVariantList &parametres)
{
    Resultat resultat;
    Passe(m_db, sql, parametres, &resultat);
    return resultat;
}

int Connexion::Execute(const QString &sql, const QVariantList &parametres)
{
    return Passe(m_db, sql, parametres, nullptr);
}

void Connexion::Debute()
{
    Execute(QStringLiteral("BEGIN IMMEDIATE"));
}

void Connexion::Valide()
{
    Execute(QStringLiteral("COMMIT"));
}

void Connexion::Annule()
{
    if (m_db && !sqlite3_get_autocommit(m_db))
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

Transaction::Transaction(Connexion &connexion) : m_connexion(connexion)
{
    m_connexion.Debute();
}

Transaction::~Transaction()
{
    if (!m_finie)
        m_connexion.Annule();
}

void Transaction::Valide()
{
    m_connexion.Valide();
    m_finie = true;
}

Connexion &Base()
{
    return connexionPrincipale;
}

bool ConnecteBase()
{
    const QString chemin = CheminBase();
    if (Base().EstOuverte() && Base().Chemin() == chemin)
        return true;
    if (!QFileInfo::exists(chemin)) {
        NomBase().clear();
        return true;
    }
    // Current file format first, then the older SQLCipher key derivation.
    if (Base().Ouvre(chemin, CleBase) || Base().Ouvre(chemin, CleBase, nullptr, 4000))
        return true;
    MsgCritique(QStringLiteral("Echec de la connection ! "));
    return false;
}

void FermeBase()
{
    Base().Ferme();
}

Resultat OuvreRecordset(const QString &sql, const QVariantList &parametres)
{
    return Base().Requete(sql, parametres);
}

QString LitChamp(const QVariant &valeur)
{
    if (valeur.isNull())
        return {};
    if (valeur.typeId() == QMetaType::QDate)
        return TexteDate(valeur.toDate());
    return valeur.toString();
}

QVariant ChaineOuNull(const QString &texte)
{
    // Blanks only: tabs and line breaks belong to the text.
    qsizetype debut = 0, fin = texte.size();
    while (debut < fin && texte.at(debut) == QLatin1Char(' '))
        ++debut;
    while (fin > debut && texte.at(fin - 1) == QLatin1Char(' '))
        --fin;
    const QString net = texte.mid(debut, fin - debut);
    return net.isEmpty() ? QVariant() : QVariant(net);
}

QDate LitDate(const QVariant &valeur)
{
    if (valeur.isNull())
        return {};
    if (valeur.typeId() == QMetaType::QDate)
        return valeur.toDate();
    return QDate::fromString(valeur.toString(), Qt::ISODate);
}

bool CompacteBase(const QString &fichier)
{
    const bool principal = fichier.isEmpty();
    const QString source = principal ? CheminBase() : fichier;
    // Left over by an interrupted compaction of the older kind: never the only copy.
    const QString temporaire = CheminAppli() + NomBaseCompactee;
    if (principal && QFileInfo(temporaire).isFile())
        QFile::remove(temporaire);
    if (!QFileInfo(source).isFile())
        return false;
    Connexion locale;
    Connexion &connexion = principal ? Base() : locale;
    if (!connexion.Ouvre(source, CleBase))
        return false;
    try {
        // A file without free pages is compact already: rewriting it would
        // cost a second key derivation and a full copy at every start.
        if (connexion.Requete(QStringLiteral("PRAGMA freelist_count")).Valeur(0, 0).toLongLong() > 0)
            connexion.Execute(QStringLiteral("VACUUM"));
    } catch (const ErreurBase &) {
        if (principal)
            connexion.Ferme();
        return false;
    }
    return true;
}

} // namespace oxi
