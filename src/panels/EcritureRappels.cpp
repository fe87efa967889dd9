#include "EcritureRappels.h"

#include "Base.h"
#include "Modifications.h"
#include "Schema.h"

#include <algorithm>

namespace oxi {

namespace {

QVector<PrenomFete> tabPrenoms;

const QString ColonnesRappel = QStringLiteral(
    "NumRappel, DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3");

int InsereRappel(const QDate &dateRappel, const QString &type, const QString &libelle, const Echeances &echeances)
{
    const int numero = NouveauNumero();
    Base().Execute(QStringLiteral("INSERT INTO Rappel (") + ColonnesRappel +
                       QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   QVariantList{numero, TexteDate(dateRappel), type, libelle} + echeances.Parametres());
    SignaleModification();
    return numero;
}

Echeances EcheancesStockees(int numRappel, const QString &type)
{
    const Resultat r = Base().Requete(
        QStringLiteral("SELECT Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3 FROM Rappel WHERE NumRappel=? AND Type=?"),
        {numRappel, type});
    if (r.Vide())
        throw ErreurBase(QStringLiteral("rappel %1 introuvable").arg(numRappel));
    return LitEcheances(r, 0);
}

void MetAJourRappel(int numRappel, const QDate &dateRappel, const std::optional<QString> &libelle,
                    const Echeances &echeances)
{
    QString sql = QStringLiteral("UPDATE Rappel SET DateRappel=?, ");
    QVariantList parametres{TexteDate(dateRappel)};
    if (libelle) {
        sql += QStringLiteral("Libelle=?, ");
        parametres << *libelle;
    }
    sql += QStringLiteral("Ech1=?, EtatEch1=?, Ech2=?, EtatEch2=?, Ech3=?, EtatEch3=? WHERE NumRappel=?");
    Base().Execute(sql, parametres + echeances.Parametres() + QVariantList{numRappel});
    SignaleModification();
}

// Sort key of a first-name item: lower case without accents, so that Émile sits among the E.
QString CleAlphabetique(const QString &texte)
{
    QString cle;
    for (const QChar c : texte.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            cle += c.toLower();
    return cle;
}

} // namespace

std::optional<int> LitDelaiSaisi(const QString &texte)
{
    const QString debut = texte.left(2).trimmed();
    if (debut == QLatin1String("A"))
        return 0;
    bool ok = false;
    const int jours = debut.toInt(&ok);
    if (!ok || jours < 0)
        return std::nullopt;
    return jours;
}

int RetrouveDelai(const QDate &evenement, const QDate &echeance)
{
    if (!echeance.isValid() || echeance == DateNulle)
        return 0;
    const QDate e = JourEvenement(echeance);
    const QDate a = JourEvenement(evenement);
    const int ecart = (a.month() == 1 && e.month() == 12) ? 31 - e.day() + a.day() : int(e.daysTo(a));
    // No item explains the gap: the last one stays selected.
    return ecart >= 1 && ecart <= 31 ? ecart : 31;
}

int NouveauNumero()
{
    // A text row left without its reminder must not block the numbers either.
    const Resultat r = Base().Requete(QStringLiteral(
        "SELECT MAX(n) FROM (SELECT MAX(NumRappel) AS n FROM Rappel UNION ALL SELECT MAX(NumNote) FROM Notes)"));
    const int numero = r.Vide() || r.Valeur(0, 0).isNull() ? 1 : r.Valeur(0, 0).toInt() + 1;
    // Reminder numbers are 16-bit throughout the program.
    if (numero > 32767)
        throw ErreurBase(QStringLiteral("plus de numéro de rappel libre"));
    return numero;
}

std::optional<RappelStocke> LitRappel(int numRappel, const QString &type)
{
    const bool note = type == QLatin1String("N");
    const QString sql =
        note ? QStringLiteral("SELECT Notes.*, Rappel.* FROM Notes INNER JOIN Rappel ON Notes.NumNote = Rappel.NumRappel "
                              "WHERE Rappel.NumRappel=? AND Rappel.Type=?")
             : QStringLiteral("SELECT * FROM Rappel WHERE NumRappel=? AND Type=?");
    const Resultat r = Base().Requete(sql, {numRappel, type});
    if (r.Vide())
        return std::nullopt;
    RappelStocke rappel;
    rappel.numRappel = numRappel;
    rappel.dateRappel = LitDate(r.Valeur(0, QStringLiteral("DateRappel")));
    rappel.libelle = LitChamp(r.Valeur(0, QStringLiteral("Libelle")));
    rappel.type = type;
    rappel.echeances = LitEcheances(r, 0);
    if (note)
        rappel.texte = LitChamp(r.Valeur(0, QStringLiteral("Libelle1"))) + LitChamp(r.Valeur(0, QStringLiteral("Libelle2")));
    return rappel;
}

int ExisteAnniversaire(const Anniversaire &anniv)
{
    try {
        const Resultat r = Base().Requete(
            QStringLiteral("SELECT COUNT(*) FROM Rappel WHERE Libelle=? COLLATE NOCASE AND Type='A' AND DateRappel=?"),
            {anniv.Libelle(), TexteDate(anniv.DateRappel())});
        return r.Vide() ? 0 : r.Valeur(0, 0).toInt();
    } catch (const ErreurBase &) {
        return 0;
    }
}

int AjouteAnniversaire(const Anniversaire &anniv)
{
    return InsereRappel(anniv.DateRappel(), QStringLiteral("A"), anniv.Libelle(),
                        EcheancesAjout(anniv.Evenement(), anniv.choix));
}

void ModifieAnniversaire(int numRappel, const Anniversaire &anniv)
{
    const Echeances anciennes = EcheancesStockees(numRappel, QStringLiteral("A"));
    MetAJourRappel(numRappel, anniv.DateRappel(), anniv.Libelle(),
                   EcheancesModification(anciennes, anniv.Evenement(), anniv.choix));
}

QString FormatePrenom(const QString &texte)
{
    QString prenom = texte;
    prenom.replace(QLatin1Char('#'), QLatin1Char(' '));
    return prenom.trimmed();
}

QVector<PrenomFete> &TabPrenoms()
{
    return tabPrenoms;
}

void ChargeListeFetes()
{
    tabPrenoms.clear();
    const Resultat r = OuvreRecordset(QStringLiteral("SELECT * FROM Fetes ORDER BY Jour"));
    const int colonneJour = r.Colonne(QStringLiteral("Jour"));
    for (int i = 0; i < r.Nombre(); ++i) {
        const int jour = colonneJour >= 0 ? r.Valeur(i, colonneJour).toInt() : i + 1;
        for (int mois = 1; mois <= 12; ++mois) {
            const QString cellule = LitChamp(r.Valeur(i, ColonneMois(mois))).trimmed();
            for (const QString &morceau : cellule.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (!morceau.trimmed().isEmpty())
                    tabPrenoms.append({FormatePrenom(morceau), jour, mois});
        }
    }
}

QString ItemFete(const PrenomFete &fete)
{
    return fete.prenom + QStringLiteral(" - ") + QString::number(fete.jour) + QLatin1Char(' ') + NomMois(fete.mois);
}

QStringList ItemsFetes()
{
    QVector<std::pair<QString, QString>> items;
    for (const PrenomFete &fete : std::as_const(tabPrenoms)) {
        const QString item = ItemFete(fete);
        items.append({CleAlphabetique(item), item});
    }
    std::stable_sort(items.begin(), items.end());
    QStringList liste;
    for (const auto &item : std::as_const(items))
        liste << item.second;
    return liste;
}

std::optional<SaisieFete> LitTexteFete(const QString &texte, int annee)
{
    const int p = texte.indexOf(QStringLiteral("- "));
    if (p < 0)
        return std::nullopt;
    const QStringList date = texte.mid(p + 1).trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (date.size() != 2)
        return std::nullopt;
    bool ok = false;
    const int jour = date.at(0).toInt(&ok);
    if (!ok)
        return std::nullopt;
    int mois = 0;
    for (int m = 1; m <= 12 && mois == 0; ++m)
        if (NomMois(m).compare(date.at(1), Qt::CaseInsensitive) == 0)
            mois = m;
    const QDate dateFete(annee, mois > 0 ? mois : 1, jour);
    if (mois == 0 || !dateFete.isValid())
        return std::nullopt;
    return SaisieFete{texte.left(p).trimmed(), dateFete};
}

int AjouteFete(const SaisieFete &fete, const ChoixEcheances &choix)
{
    return InsereRappel(fete.dateFete, QStringLiteral("F"), fete.prenom, EcheancesAjout(fete.dateFete, choix));
}

void ModifieFete(int numRappel, const SaisieFete &fete, const ChoixEcheances &choix)
{
    const Echeances anciennes = EcheancesStockees(numRappel, QStringLiteral("F"));
    MetAJourRappel(numRappel, fete.dateFete, std::nullopt, EcheancesModification(anciennes, fete.dateFete, choix));
}

Note LitNote(const QString &titre, const QString &texte, const QDate &date, const ChoixEcheances &choix)
{
    Note note;
    note.libelle = titre.trimmed().isEmpty() ? QStringLiteral("Sans titre") : titre.trimmed();
    note.texte = texte.trimmed();
    note.dateRappel = date;
    note.choix = choix;
    return note;
}

// The halves are cut from the trimmed text and not trimmed again, so that a
// blank at the cut survives and the text reads back exactly.
QVariantList DecoupeTexte(const QString &texte)
{
    const QString net = texte.trimmed();
    if (net.isEmpty())
        return {QVariant(), QVariant()};
    if (net.size() <= 255)
        return {net, QVariant()};
    return {net.left(255), net.mid(255)};
}

int AjouteNote(const Note &note)
{
    Transaction transaction(Base());
    const int numero = InsereRappel(note.dateRappel, QStringLiteral("N"), note.libelle,
                                    EcheancesAjout(JourEvenement(note.dateRappel), note.choix));
    Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (?, ?, ?)"),
                   QVariantList{numero} + DecoupeTexte(note.texte));
    transaction.Valide();
    return numero;
}

void ModifieNote(int numRappel, const Note &note)
{
    Transaction transaction(Base());
    const Resultat r = Base().Requete(
        QStringLiteral("SELECT Rappel.Ech1, Rappel.EtatEch1, Rappel.Ech2, Rappel.EtatEch2, Rappel.Ech3, Rappel.EtatEch3 "
                       "FROM Notes INNER JOIN Rappel ON Notes.NumNote = Rappel.NumRappel "
                       "WHERE Rappel.NumRappel=? AND Rappel.Type='N'"),
        {numRappel});
    if (r.Vide())
        throw ErreurBase(QStringLiteral("note %1 introuvable").arg(numRappel));
    MetAJourRappel(numRappel, note.dateRappel, note.libelle,
                   EcheancesModification(LitEcheances(r, 0), JourEvenement(note.dateRappel), note.choix));
    Base().Execute(QStringLiteral("UPDATE Notes SET Libelle1=?, Libelle2=? WHERE NumNote=?"),
                   DecoupeTexte(note.texte) + QVariantList{numRappel});
    transaction.Valide();
}

bool SupprimeRappel(int numRappel, const QString &type)
{
    Transaction transaction(Base());
    const int supprimes =
        Base().Execute(QStringLiteral("DELETE FROM Rappel WHERE NumRappel=? AND Type=?"), {numRappel, type});
    if (supprimes == 0)
        return false;
    if (type == QLatin1String("N"))
        Base().Execute(QStringLiteral("DELETE FROM Notes WHERE NumNote=?"), {numRappel});
    transaction.Valide();
    SignaleModification();
    return true;
}

} // namespace oxi
