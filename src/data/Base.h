#pragma once
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

struct sqlite3;

// Access to the keyed SQLite (SQLCipher) files of the program: one shared
// connection to the main file, fully fetched results, bound parameters.
namespace oxi {

class ErreurBase : public std::runtime_error
{
public:
    explicit ErreurBase(const QString &message) : std::runtime_error(message.toStdString()) { }
};

// A fully fetched result: the column names and every row.
class Resultat
{
public:
    QStringList colonnes;
    QVector<QVector<QVariant>> lignes;

    int Nombre() const { return lignes.size(); }
    bool Vide() const { return lignes.isEmpty(); }
    // Column looked up by name, case-insensitively; the first of that name.
    int Colonne(const QString &nom) const;
    QVariant Valeur(int ligne, const QString &colonne) const;
    QVariant Valeur(int ligne, int colonne) const { return lignes.at(ligne).value(colonne); }
};

class Connexion
{
public:
    Connexion() = default;
    ~Connexion();
    Connexion(const Connexion &) = delete;
    Connexion &operator=(const Connexion &) = delete;

    // Opens an existing file with the key and checks that the key reads it.
    // `iterations` > 0 sets the key derivation count (older file formats).
    bool Ouvre(const QString &chemin, const QString &cle, QString *erreur = nullptr, int iterations = 0);
    // The same, read-only: nothing of the file can change, not even its journal.
    bool OuvreLecture(const QString &chemin, const QString &cle, QString *erreur = nullptr, int iterations = 0);
    // Creates a new keyed file (fails if it exists).
    bool Cree(const QString &chemin, const QString &cle, QString *erreur = nullptr);
    void Ferme();
    bool EstOuverte() const { return m_db != nullptr; }
    QString Chemin() const { return m_chemin; }
    // The key derivation count it was opened with; 0 for the current format.
    int Iterations() const { return m_iterations; }

    // Both throw ErreurBase on failure. Dates bind as ISO text, booleans as 0/1.
    Resultat Requete(const QString &sql, const QVariantList &parametres = {});
    int Execute(const QString &sql, const QVariantList &parametres = {});
    // One statement prepared once and run for each list of parameters.
    void ExecuteLot(const QString &sql, const QVector<QVector<QVariant>> &lots);

    void Debute();
    void Valide();
    void Annule();

    sqlite3 *Poignee() const { return m_db; }

private:
    bool OuvreExistant(const QString &chemin, const QString &cle, QString *erreur, int iterations, int drapeaux);
    bool OuvreAvec(const QString &chemin, const QString &cle, int drapeaux, int iterations, QString *erreur,
                   const QByteArray &cleBrute = {});
    sqlite3 *m_db = nullptr;
    QString m_chemin;
    int m_iterations = 0;
};

// Begins at construction; rolls back at destruction unless validated.
class Transaction
{
public:
    explicit Transaction(Connexion &connexion);
    ~Transaction();
    void Valide();

private:
    Connexion &m_connexion;
    bool m_finie = false;
};

// The program's one connection to the main file.
Connexion &Base();

// Opens Base() on CheminBase(), current or older key format, once the file
// proved whole (see BaseSaine); missing file: NomBase emptied, true without
// opening. Failure: "Echec de la connection ! " (critical) and false, the
// file left as it was.
bool ConnecteBase();
void FermeBase();

// Runs a query on Base(); throws ErreurBase (the caller reports it).
Resultat OuvreRecordset(const QString &sql, const QVariantList &parametres = {});

// "" for Null, the value as text otherwise (dates ISO, flags "0"/"1").
QString LitChamp(const QVariant &valeur);
// The text trimmed; Null when nothing is left.
QVariant ChaineOuNull(const QString &texte);
// A stored ISO date; invalid for Null or anything else.
QDate LitDate(const QVariant &valeur);
inline QString TexteDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

// Compacts a sound keyed file in place (VACUUM, atomic); empty name = the main
// file, opened as ConnecteBase does and left open for it (a leftover "DBC.dtb"
// settled the same way). Any failure leaves the file as it was and is silent.
bool CompacteBase(const QString &fichier = {});

} // namespace oxi
