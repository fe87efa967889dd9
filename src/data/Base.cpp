#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "ContexteDonnees.h"
#include "ControleBase.h"
#include "Messagerie.h"
#include "OperationsFichiers.h"

#include <QFile>
#include <QFileInfo>
#include <sqlcipher/sqlite3.h>

namespace oxi {

namespace {

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
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(requete, i)), sqlite3_column_bytes(requete, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char *>(sqlite3_column_blob(requete, i)), sqlite3_column_bytes(requete, i)));
    default:
        return QVariant();
    }
}

// A prepared statement; throws on a closed connection or an unreadable statement.
sqlite3_stmt *Prepare(sqlite3 *db, const QString &sql)
{
    if (!db)
        throw ErreurBase(QStringLiteral("base fermée"));
    const QByteArray texte = sql.toUtf8();
    sqlite3_stmt *requete = nullptr;
    if (sqlite3_prepare_v2(db, texte.constData(), int(texte.size()), &requete, nullptr) != SQLITE_OK)
        throw ErreurBase(Erreur(db));
    return requete;
}

// Runs one statement to its end, collecting rows when asked.
int Passe(sqlite3 *db, const QString &sql, const QVariantList &parametres, Resultat *resultat)
{
    sqlite3_stmt *requete = Prepare(db, sql);
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
    // No key: a plain database (the schema of reference, in memory).
    if (cle.isEmpty())
        return true;
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

} // namespace

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
    PrepareOpenSsl();
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
    m_iterations = iterations;
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
    m_iterations = 0;
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

void Connexion::ExecuteLot(const QString &sql, const QVector<QVector<QVariant>> &lots)
{
    sqlite3_stmt *requete = Prepare(m_db, sql);
    for (const auto &parametres : lots) {
        sqlite3_reset(requete);
        sqlite3_clear_bindings(requete);
        for (int i = 0; i < parametres.size(); ++i)
            Lie(requete, i + 1, parametres.at(i));
        if (sqlite3_step(requete) != SQLITE_DONE) {
            const QString erreur = Erreur(m_db);
            sqlite3_finalize(requete);
            throw ErreurBase(erreur);
        }
    }
    sqlite3_finalize(requete);
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
    return ContexteDonnees::Courant().base;
}

namespace {

// The current file format first, then the older key derivation; kept open
// only once the file is known whole.
bool OuvreSaine(Connexion &connexion, const QString &chemin)
{
    for (const int iterations : {0, 4000}) {
        if (connexion.Ouvre(chemin, CleBase, nullptr, iterations)) {
            if (BaseSaine(connexion))
                return true;
            connexion.Ferme();
            return false;
        }
    }
    return false;
}

enum class Ouverture { Ouverte, Absente, Refusee };

// Opens Base() on the main file. A "DBC.dtb" left by an interrupted
// compaction of the older kind is removed only once the main file proved
// sound; with no main file it may be the only copy, and becomes the main
// file when it is sound itself.
Ouverture OuvrePrincipale()
{
    const QString chemin = CheminBase();
    if (Base().EstOuverte() && Base().Chemin() == chemin)
        return Ouverture::Ouverte;
    const QString reste = CheminAppli() + NomBaseCompactee;
    const bool principal = NomBase() == NomBaseDefaut;
    if (principal && !QFileInfo::exists(chemin) && EstFichierOrdinaire(reste)) {
        Connexion controle;
        if (OuvreSaine(controle, reste)) {
            controle.Ferme();
            Fichiers().Renomme(reste, chemin);
        }
    }
    if (!QFileInfo::exists(chemin))
        return Ouverture::Absente;
    if (!EstFichierOrdinaire(chemin) || !OuvreSaine(Base(), chemin))
        return Ouverture::Refusee;
    if (principal && QFileInfo::exists(reste))
        Fichiers().Supprime(reste);
    return Ouverture::Ouverte;
}

} // namespace

bool ConnecteBase()
{
    switch (OuvrePrincipale()) {
    case Ouverture::Ouverte:
        return true;
    case Ouverture::Absente:
        FixeNomBase(QString());
        return true;
    case Ouverture::Refusee:
        break;
    }
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
    Connexion locale;
    Connexion &connexion = principal ? Base() : locale;
    if (principal ? OuvrePrincipale() != Ouverture::Ouverte
                  : !EstFichierOrdinaire(fichier) || !connexion.Ouvre(fichier, CleBase) || !BaseSaine(connexion))
        return false;
    // The older format stays as it is: a rewrite would gain little and risk much.
    if (connexion.Iterations() != 0)
        return true;
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
