#include "DepotRappels.h"

#include "Schema.h"

#include <sqlcipher/sqlite3.h>

namespace oxi {

namespace {

const QStringList ColonnesRappel{"NumRappel", "DateRappel", "Type",     "Libelle", "Ech1",
                                 "EtatEch1",  "Ech2",       "EtatEch2", "Ech3",    "EtatEch3"};
const QStringList ColonnesNotes{"NumNote", "Libelle1", "Libelle2"};

// A row of Rappel with its note's text, in the order RappelDeLigne reads.
const QString SelectRappel =
    QStringLiteral("SELECT Rappel.NumRappel, Rappel.DateRappel, Rappel.Type, Rappel.Libelle, Rappel.Ech1, Rappel.EtatEch1, "
                   "Rappel.Ech2, Rappel.EtatEch2, Rappel.Ech3, Rappel.EtatEch3, Notes.Libelle1, Notes.Libelle2 "
                   "FROM Rappel LEFT JOIN Notes ON Notes.NumNote = Rappel.NumRappel ");

QString Liste(const QStringList &colonnes)
{
    return colonnes.join(QStringLiteral(", "));
}

QString Marques(int nombre)
{
    QStringList marques;
    for (int i = 0; i < nombre; ++i)
        marques << QStringLiteral("?");
    return marques.join(QStringLiteral(", "));
}

QDate DateDe(const QVariant &valeur)
{
    return valeur.isNull() ? QDate() : LitDateStockee(valeur.toString());
}

Echeances EcheancesDe(const QVector<QVariant> &ligne, int premiere)
{
    Echeances e;
    for (int k = 1; k <= 3; ++k) {
        const QDate date = DateDe(ligne.value(premiere + 2 * (k - 1)));
        e[k].date = date.isValid() ? date : DateNulle;
        e[k].fait = ligne.value(premiere + 2 * (k - 1) + 1).toLongLong() != 0;
    }
    return e;
}

RappelStocke RappelDeLigne(const QVector<QVariant> &l)
{
    RappelStocke r;
    r.numRappel = l.value(0).toLongLong();
    r.dateRappel = DateDe(l.value(1));
    r.type = TypeDeLettre(LitChamp(l.value(2)));
    r.libelle = LitChamp(l.value(3));
    r.echeances = EcheancesDe(l, 4);
    r.texte = LitChamp(l.value(10)) + LitChamp(l.value(11));
    return r;
}

QVariantList ParametresEcheances(const Echeances &e)
{
    QVariantList valeurs;
    for (const Echeance &s : e.ech)
        valeurs << TexteDate(s.date) << (s.fait ? 1 : 0);
    return valeurs;
}

// Libelle1 (first 255 characters, Null when empty) and Libelle2 (the rest, Null when none).
QVariantList MoitiesTexte(const QString &texte)
{
    if (texte.isEmpty())
        return {QVariant(), QVariant()};
    if (texte.size() <= 255)
        return {texte, QVariant()};
    return {texte.left(255), texte.mid(255)};
}

// The SQL side of the due and re-arming rules: the statements call the C++ rules
// so that each is written once and runs over the whole table in one statement.
QDate DateSql(sqlite3_value *valeur)
{
    return LitDateStockee(reinterpret_cast<const char *>(sqlite3_value_text(valeur)), sqlite3_value_bytes(valeur));
}

void FonctionEstDu(sqlite3_context *contexte, int, sqlite3_value **arguments)
{
    Echeances e;
    for (int k = 1; k <= 3; ++k) {
        const QDate date = DateSql(arguments[2 * (k - 1)]);
        e[k].date = date.isValid() ? date : DateNulle;
        e[k].fait = sqlite3_value_int64(arguments[2 * (k - 1) + 1]) != 0;
    }
    const QDate aujourdhui = QDate::fromJulianDay(sqlite3_value_int64(arguments[6]));
    sqlite3_result_int(contexte, EstDu(e, aujourdhui) ? 1 : 0);
}

// (slot) -> the re-armed date, or the stored value itself when the slot stays.
void FonctionRearme(sqlite3_context *contexte, int, sqlite3_value **arguments)
{
    char suivante[10];
    const auto *octets = reinterpret_cast<const char *>(sqlite3_value_text(arguments[0]));
    if (!EcheanceRearmee(octets, sqlite3_value_bytes(arguments[0]), suivante)) {
        sqlite3_result_value(contexte, arguments[0]);
        return;
    }
    sqlite3_result_text(contexte, suivante, 10, SQLITE_TRANSIENT);
}

void DeclareRegles(Connexion &connexion)
{
    sqlite3 *db = connexion.Poignee();
    if (!db)
        throw ErreurBase(QStringLiteral("base fermée"));
    if (sqlite3_create_function(db, "oxi_est_du", 7, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FonctionEstDu, nullptr, nullptr)
            != SQLITE_OK
        || sqlite3_create_function(db, "oxi_rearme", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, FonctionRearme, nullptr,
                                   nullptr)
            != SQLITE_OK)
        throw ErreurBase(QString::fromUtf8(sqlite3_errmsg(db)));
}

bool MemesColonnes(const QStringList &lues, const QStringList &attendues)
{
    if (lues.size() != attendues.size())
        return false;
    for (int i = 0; i < lues.size(); ++i)
        if (lues.at(i).compare(attendues.at(i), Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

bool EstEntier(const QVariant &valeur)
{
    return valeur.typeId() == QMetaType::LongLong;
}

bool EstTexte(const QVariant &valeur)
{
    return !valeur.isNull() && valeur.typeId() == QMetaType::QString;
}

bool EstDate(const QVariant &valeur)
{
    return EstTexte(valeur) && LitDateStockee(valeur.toString()).isValid();
}

bool EstDrapeau(const QVariant &valeur)
{
    return EstEntier(valeur) && (valeur.toLongLong() == 0 || valeur.toLongLong() == 1);
}

// A row the rest of the program can live with: anything else is a damaged backup.
bool RappelValide(const QVector<QVariant> &l)
{
    return EstEntier(l[0]) && EstDate(l[1]) && EstTexte(l[2]) && TypeDeLettre(l[2].toString()) && EstTexte(l[3]) && EstDate(l[4])
        && EstDrapeau(l[5]) && EstDate(l[6]) && EstDrapeau(l[7]) && EstDate(l[8]) && EstDrapeau(l[9]);
}

bool NoteValide(const QVector<QVariant> &l)
{
    return EstEntier(l[0]) && (l[1].isNull() || EstTexte(l[1])) && (l[2].isNull() || EstTexte(l[2]));
}

// A transaction of its own, or a part of the caller's when one is open.
class TransactionLocale
{
public:
    explicit TransactionLocale(Connexion &connexion)
    {
        if (!connexion.Poignee() || sqlite3_get_autocommit(connexion.Poignee()))
            m_propre.emplace(connexion);
    }
    void Valide()
    {
        if (m_propre)
            m_propre->Valide();
    }

private:
    std::optional<Transaction> m_propre;
};

} // namespace

std::optional<RappelStocke> DepotRappels::Lit(qint64 numero, std::optional<TypeRappel> type) const
{
    const Resultat r = type ? m_connexion.Requete(SelectRappel + QStringLiteral("WHERE Rappel.NumRappel = ? AND Rappel.Type = ?"),
                                                  {numero, LettreType(*type)})
                            : m_connexion.Requete(SelectRappel + QStringLiteral("WHERE Rappel.NumRappel = ?"), {numero});
    if (r.Vide())
        return std::nullopt;
    return RappelDeLigne(r.lignes.at(0));
}

QVector<RappelStocke> DepotRappels::Tous() const
{
    const Resultat r = m_connexion.Requete(SelectRappel + QStringLiteral("ORDER BY Rappel.NumRappel"));
    QVector<RappelStocke> rappels;
    rappels.reserve(r.Nombre());
    for (const auto &ligne : r.lignes)
        rappels << RappelDeLigne(ligne);
    return rappels;
}

QVector<RappelStocke> DepotRappels::ListeType(TypeRappel type) const
{
    const Resultat r = m_connexion.Requete(
        QStringLiteral("SELECT NumRappel, DateRappel, Type, Libelle FROM Rappel WHERE Type = ? ORDER BY NumRappel"),
        {LettreType(type)});
    QVector<RappelStocke> rappels;
    rappels.reserve(r.Nombre());
    for (const auto &ligne : r.lignes)
        rappels << RappelDeLigne(ligne);
    return rappels;
}

QVector<qint64> DepotRappels::NumerosDus(const QDate &aujourdhui) const
{
    DeclareRegles(m_connexion);
    const Resultat r = m_connexion.Requete(
        QStringLiteral("SELECT NumRappel FROM Rappel "
                       "WHERE oxi_est_du(Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3, ?) ORDER BY NumRappel"),
        {aujourdhui.toJulianDay()});
    QVector<qint64> numeros;
    numeros.reserve(r.Nombre());
    for (const auto &ligne : r.lignes)
        numeros << ligne.value(0).toLongLong();
    return numeros;
}

int DepotRappels::CompteAnniversaires(const QString &libelle, const QDate &dateRappel) const
{
    const Resultat r = m_connexion.Requete(
        QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle = ? COLLATE NOCASE AND Type = ? AND DateRappel = ?"),
        {libelle, LettreType(TypeRappel::Anniversaire), TexteDate(dateRappel)});
    return r.Vide() ? 0 : r.Valeur(0, 0).toInt();
}

int DepotRappels::CompteFetes(const QString &prenom) const
{
    const Resultat r =
        m_connexion.Requete(QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle = ? COLLATE NOCASE AND Type = ?"),
                            {prenom, LettreType(TypeRappel::Fete)});
    return r.Vide() ? 0 : r.Valeur(0, 0).toInt();
}

qint64 DepotRappels::NouveauNumero() const
{
    // A text row left without its reminder must not block the numbers either.
    const Resultat r = m_connexion.Requete(
        QStringLiteral("SELECT MAX(n) FROM (SELECT MAX(NumRappel) AS n FROM Rappel UNION ALL SELECT MAX(NumNote) FROM Notes)"));
    const qint64 numero = r.Vide() || r.Valeur(0, 0).isNull() ? 1 : r.Valeur(0, 0).toLongLong() + 1;
    if (numero > 32767)
        throw ErreurBase(QStringLiteral("plus de numéro de rappel libre"));
    return numero;
}

qint64 DepotRappels::Ajoute(const RappelStocke &rappel)
{
    if (!rappel.type)
        throw ErreurBase(QStringLiteral("rappel sans type"));
    TransactionLocale transaction(m_connexion);
    const qint64 numero = NouveauNumero();
    m_connexion.Execute(
        QStringLiteral("INSERT INTO Rappel (%1) VALUES (%2)").arg(Liste(ColonnesRappel), Marques(ColonnesRappel.size())),
        QVariantList{numero, TexteDate(rappel.dateRappel), LettreType(*rappel.type), rappel.libelle}
            + ParametresEcheances(rappel.echeances));
    if (rappel.type == TypeRappel::Note)
        m_connexion.Execute(QStringLiteral("INSERT INTO Notes (%1) VALUES (?, ?, ?)").arg(Liste(ColonnesNotes)),
                            QVariantList{numero} + MoitiesTexte(rappel.texte));
    transaction.Valide();
    return numero;
}

void DepotRappels::Modifie(const RappelStocke &rappel)
{
    if (!rappel.type)
        throw ErreurBase(QStringLiteral("rappel sans type"));
    TransactionLocale transaction(m_connexion);
    const int changes = m_connexion.Execute(
        QStringLiteral("UPDATE Rappel SET DateRappel = ?, Libelle = ?, Ech1 = ?, EtatEch1 = ?, Ech2 = ?, EtatEch2 = ?, "
                       "Ech3 = ?, EtatEch3 = ? WHERE NumRappel = ? AND Type = ?"),
        QVariantList{TexteDate(rappel.dateRappel), rappel.libelle} + ParametresEcheances(rappel.echeances)
            + QVariantList{rappel.numRappel, LettreType(*rappel.type)});
    if (changes == 0)
        throw ErreurBase(QStringLiteral("rappel %1 introuvable").arg(rappel.numRappel));
    // A note whose text row went missing gets one back rather than staying unchangeable.
    if (rappel.type == TypeRappel::Note)
        m_connexion.Execute(QStringLiteral("INSERT OR REPLACE INTO Notes (%1) VALUES (?, ?, ?)").arg(Liste(ColonnesNotes)),
                            QVariantList{rappel.numRappel} + MoitiesTexte(rappel.texte));
    transaction.Valide();
}

bool DepotRappels::Supprime(qint64 numero, TypeRappel type)
{
    TransactionLocale transaction(m_connexion);
    const int supprimes =
        m_connexion.Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel = ? AND Type = ?"), {numero, LettreType(type)});
    if (supprimes == 0)
        return false;
    if (type == TypeRappel::Note)
        m_connexion.Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote = ?"), {numero});
    transaction.Valide();
    return true;
}

void DepotRappels::Acquitte(qint64 numero, const QDate &aujourdhui)
{
    // Unused slots (the no-date value) are before today and get their flag too.
    const QString jour = TexteDate(aujourdhui);
    const int changes =
        m_connexion.Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = CASE WHEN Ech1 <= ?1 THEN 1 ELSE EtatEch1 END, "
                                           "EtatEch2 = CASE WHEN Ech2 <= ?1 THEN 1 ELSE EtatEch2 END, "
                                           "EtatEch3 = CASE WHEN Ech3 <= ?1 THEN 1 ELSE EtatEch3 END WHERE NumRappel = ?2"),
                            {jour, numero});
    if (changes == 0)
        throw ErreurBase(QStringLiteral("rappel %1 introuvable").arg(numero));
}

void DepotRappels::RemetDrapeaux(qint64 numero, const Echeances &echeances)
{
    m_connexion.Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = ?, EtatEch2 = ?, EtatEch3 = ? WHERE NumRappel = ?"),
                        {echeances[1].fait ? 1 : 0, echeances[2].fait ? 1 : 0, echeances[3].fait ? 1 : 0, numero});
}

int DepotRappels::Rearme()
{
    DeclareRegles(m_connexion);
    // A slot the rule leaves (unused, unreadable) keeps its flag as well as its date.
    return m_connexion.Execute(
        QStringLiteral("UPDATE Rappel SET "
                       "EtatEch1 = CASE WHEN oxi_rearme(Ech1) IS NOT Ech1 THEN 0 ELSE EtatEch1 END, Ech1 = oxi_rearme(Ech1), "
                       "EtatEch2 = CASE WHEN oxi_rearme(Ech2) IS NOT Ech2 THEN 0 ELSE EtatEch2 END, Ech2 = oxi_rearme(Ech2), "
                       "EtatEch3 = CASE WHEN oxi_rearme(Ech3) IS NOT Ech3 THEN 0 ELSE EtatEch3 END, Ech3 = oxi_rearme(Ech3) "
                       "WHERE Type IN (?, ?)"),
        {LettreType(TypeRappel::Anniversaire), LettreType(TypeRappel::Fete)});
}

void DepotRappels::CopieVers(const QString &schema)
{
    const QString cible = QStringLiteral("CREATE TABLE ") + schema + QLatin1Char('.');
    m_connexion.Execute(QString(SchemaRappel).replace(QStringLiteral("CREATE TABLE "), cible));
    m_connexion.Execute(QString(SchemaNotes).replace(QStringLiteral("CREATE TABLE "), cible));
    m_connexion.Execute(QStringLiteral("INSERT INTO %1.Rappel (%2) SELECT %2 FROM main.Rappel ORDER BY NumRappel")
                            .arg(schema, Liste(ColonnesRappel)));
    m_connexion.Execute(
        QStringLiteral("INSERT INTO %1.Notes (%2) SELECT %2 FROM main.Notes ORDER BY NumNote").arg(schema, Liste(ColonnesNotes)));
}

std::optional<ContenuRappels> DepotRappels::LitContenu() const
{
    const Resultat r = m_connexion.Requete(QStringLiteral("SELECT * FROM Rappel"));
    const Resultat n = m_connexion.Requete(QStringLiteral("SELECT * FROM Notes"));
    if (!MemesColonnes(r.colonnes, ColonnesRappel) || !MemesColonnes(n.colonnes, ColonnesNotes))
        return std::nullopt;
    for (const auto &ligne : r.lignes)
        if (!RappelValide(ligne))
            return std::nullopt;
    for (const auto &ligne : n.lignes)
        if (!NoteValide(ligne))
            return std::nullopt;
    return ContenuRappels{r.lignes, n.lignes};
}

void DepotRappels::Remplace(const ContenuRappels &contenu)
{
    m_connexion.Execute(QStringLiteral("DELETE FROM Rappel"));
    m_connexion.Execute(QStringLiteral("DELETE FROM Notes"));
    m_connexion.ExecuteLot(
        QStringLiteral("INSERT INTO Rappel (%1) VALUES (%2)").arg(Liste(ColonnesRappel), Marques(ColonnesRappel.size())),
        contenu.rappels);
    m_connexion.ExecuteLot(
        QStringLiteral("INSERT INTO Notes (%1) VALUES (%2)").arg(Liste(ColonnesNotes), Marques(ColonnesNotes.size())),
        contenu.notes);
}

int DepotRappels::NombreRappels() const
{
    return m_connexion.Requete(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt();
}

int DepotRappels::NombreNotes() const
{
    return m_connexion.Requete(QStringLiteral("SELECT count(*) FROM Notes")).Valeur(0, 0).toInt();
}

} // namespace oxi
