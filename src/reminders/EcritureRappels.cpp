#include "EcritureRappels.h"

#include "Modifications.h"
#include "Schema.h"

#include <algorithm>

namespace oxi {

namespace {

// Every write of the panels ends here, and is told to whoever follows the
// reminders from elsewhere (the calendar exchange).
qint64 Ajoute(const RappelStocke &rappel)
{
    const qint64 numero = DepotRappels().Ajoute(rappel);
    SignaleModification();
    return numero;
}

void Modifie(DepotRappels &depot, const RappelStocke &rappel)
{
    depot.Modifie(rappel);
    SignaleModification();
}

RappelStocke LitExistant(const DepotRappels &depot, qint64 numRappel, TypeRappel type)
{
    std::optional<RappelStocke> rappel = depot.Lit(numRappel, type);
    if (!rappel)
        throw ErreurBase(QStringLiteral("rappel %1 introuvable").arg(numRappel));
    return *rappel;
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

std::optional<RappelStocke> LitRappel(qint64 numRappel, TypeRappel type)
{
    return DepotRappels().Lit(numRappel, type);
}

int ExisteAnniversaire(const Anniversaire &anniv)
{
    try {
        return DepotRappels().CompteAnniversaires(anniv.Libelle(), anniv.DateRappel());
    } catch (const ErreurBase &) {
        return 0;
    }
}

qint64 AjouteAnniversaire(const Anniversaire &anniv)
{
    RappelStocke rappel;
    rappel.type = TypeRappel::Anniversaire;
    rappel.dateRappel = anniv.DateRappel();
    rappel.libelle = anniv.Libelle();
    rappel.echeances = EcheancesAjout(anniv.Evenement(), anniv.choix);
    return Ajoute(rappel);
}

void ModifieAnniversaire(qint64 numRappel, const Anniversaire &anniv)
{
    DepotRappels depot;
    RappelStocke rappel = LitExistant(depot, numRappel, TypeRappel::Anniversaire);
    rappel.dateRappel = anniv.DateRappel();
    rappel.libelle = anniv.Libelle();
    rappel.echeances = EcheancesModification(rappel.echeances, anniv.Evenement(), anniv.choix);
    Modifie(depot, rappel);
}

QString FormatePrenom(const QString &texte)
{
    QString prenom = texte;
    prenom.replace(QLatin1Char('#'), QLatin1Char(' '));
    return prenom.trimmed();
}

QVector<PrenomFete> ChargeListeFetes()
{
    QVector<PrenomFete> prenoms;
    const Resultat r = OuvreRecordset(QStringLiteral("SELECT * FROM Fetes ORDER BY Jour"));
    const int colonneJour = r.Colonne(QStringLiteral("Jour"));
    for (int i = 0; i < r.Nombre(); ++i) {
        const int jour = colonneJour >= 0 ? r.Valeur(i, colonneJour).toInt() : i + 1;
        for (int mois = 1; mois <= 12; ++mois) {
            const QString cellule = LitChamp(r.Valeur(i, ColonneMois(mois))).trimmed();
            for (const QString &morceau : cellule.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                if (!morceau.trimmed().isEmpty())
                    prenoms.append({FormatePrenom(morceau), jour, mois});
        }
    }
    return prenoms;
}

QString ItemFete(const PrenomFete &fete)
{
    return fete.prenom + QStringLiteral(" - ") + QString::number(fete.jour) + QLatin1Char(' ') + NomMois(fete.mois);
}

QStringList ItemsFetes(const QVector<PrenomFete> &prenoms)
{
    QVector<std::pair<QString, QString>> items;
    for (const PrenomFete &fete : prenoms) {
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

qint64 AjouteFete(const SaisieFete &fete, const ChoixEcheances &choix)
{
    RappelStocke rappel;
    rappel.type = TypeRappel::Fete;
    rappel.dateRappel = fete.dateFete;
    rappel.libelle = fete.prenom;
    rappel.echeances = EcheancesAjout(fete.dateFete, choix);
    return Ajoute(rappel);
}

void ModifieFete(qint64 numRappel, const SaisieFete &fete, const ChoixEcheances &choix)
{
    DepotRappels depot;
    RappelStocke rappel = LitExistant(depot, numRappel, TypeRappel::Fete);
    rappel.dateRappel = fete.dateFete;
    rappel.echeances = EcheancesModification(rappel.echeances, fete.dateFete, choix);
    Modifie(depot, rappel);
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

qint64 AjouteNote(const Note &note)
{
    RappelStocke rappel;
    rappel.type = TypeRappel::Note;
    rappel.dateRappel = note.dateRappel;
    rappel.libelle = note.libelle;
    rappel.texte = note.texte;
    rappel.echeances = EcheancesAjout(JourEvenement(note.dateRappel), note.choix);
    return Ajoute(rappel);
}

void ModifieNote(qint64 numRappel, const Note &note)
{
    DepotRappels depot;
    RappelStocke rappel = LitExistant(depot, numRappel, TypeRappel::Note);
    rappel.dateRappel = note.dateRappel;
    rappel.libelle = note.libelle;
    rappel.texte = note.texte;
    rappel.echeances = EcheancesModification(rappel.echeances, JourEvenement(note.dateRappel), note.choix);
    Modifie(depot, rappel);
}

bool SupprimeRappel(qint64 numRappel, TypeRappel type)
{
    const bool supprime = DepotRappels().Supprime(numRappel, type);
    if (supprime)
        SignaleModification();
    return supprime;
}

} // namespace oxi
