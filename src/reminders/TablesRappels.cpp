#include "TablesRappels.h"

#include "Constantes.h"
#include "DepotRappels.h"
#include "Echeances.h"
#include "Horloge.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace oxi {

namespace {

// A row's sort key, computed once: upper-casing in every comparison of the
// quadratic passes below made a 10,000-row list take seconds.
struct CleTri
{
    QDate date;
    QString texte;
};

// True when key j sorts before key i: dates as dates, the rest by character
// codes one by one (É comes after Z).
bool Precede(bool dates, const CleTri &j, const CleTri &i)
{
    if (dates && i.date.isValid() && j.date.isValid())
        return j.date < i.date;
    return i.texte > j.texte;
}

} // namespace

void TrieTableau(Tableau &tableau, int colonne)
{
    auto &lignes = tableau.lignes;
    const int n = int(lignes.size());
    const bool dates = tableau.colonnesDates.contains(colonne);
    QVector<CleTri> cles(n);
    for (int k = 0; k < n; ++k) {
        const QString valeur = lignes.at(k).Colonne(colonne);
        cles[k].texte = valeur.toUpper();
        if (dates)
            cles[k].date = QDate::fromString(valeur, Qt::ISODate);
    }
    // Equal keys share one rank, so the exchange passes compare integers and
    // keep the order they give to equal keys.
    QVector<int> ordre(n);
    std::iota(ordre.begin(), ordre.end(), 0);
    std::stable_sort(ordre.begin(), ordre.end(), [&](int a, int b) { return Precede(dates, cles.at(a), cles.at(b)); });
    std::vector<int> rang(n);
    for (int k = 0, r = 0; k < n; ++k) {
        if (k > 0 && Precede(dates, cles.at(ordre.at(k - 1)), cles.at(ordre.at(k))))
            ++r;
        rang[ordre.at(k)] = r;
    }
    std::vector<int> place(n);
    std::iota(place.begin(), place.end(), 0);
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            if (rang[j] < rang[i]) {
                std::swap(rang[i], rang[j]);
                std::swap(place[i], place[j]);
            }
    QVector<LigneTableau> triees;
    triees.reserve(n);
    for (int k = 0; k < n; ++k)
        triees.append(std::move(lignes[place[k]]));
    lignes = std::move(triees);
}

Tableau TableAnniversaires()
{
    Tableau table{{}, {3, 4}};
    const int annee = Aujourdhui().year();
    for (const RappelStocke &r : DepotRappels().ListeType(TypeRappel::Anniversaire)) {
        // A label without "#" (never stored by the panel) shows as a name alone.
        const int p = r.libelle.indexOf(QLatin1Char('#'));
        const QString nom = p < 0 ? r.libelle : r.libelle.left(p);
        const QString prenom = p < 0 ? QString() : r.libelle.mid(p + 1);
        table.lignes.append({{nom, prenom, TexteDate(r.dateRappel), TexteDate(JourEvenement(r.dateRappel, annee))}, r.numRappel});
    }
    TrieTableau(table, TriDefautAnniv);
    return table;
}

Tableau TableFetes()
{
    Tableau table{{}, {3}};
    const int annee = Aujourdhui().year();
    for (const RappelStocke &r : DepotRappels().ListeType(TypeRappel::Fete))
        table.lignes.append(
            {{r.libelle, TexteJourMois(r.dateRappel), TexteDate(JourEvenement(r.dateRappel, annee + 1))}, r.numRappel});
    TrieTableau(table, TriDefautFetes);
    return table;
}

Tableau TableNotes()
{
    Tableau table{{}, {3}};
    const int annee = Aujourdhui().year();
    for (const RappelStocke &r : DepotRappels().ListeType(TypeRappel::Note))
        table.lignes.append({{r.libelle, TexteJourMois(r.dateRappel) + QLatin1Char(' ') + QString::number(r.dateRappel.year()),
                              TexteDate(JourEvenement(r.dateRappel, annee))},
                             r.numRappel});
    TrieTableau(table, TriDefautNotes);
    return table;
}

int CalculeAge(const QDate &date)
{
    return Aujourdhui().year() - date.year();
}

QString TexteJourMois(const QDate &date)
{
    if (!date.isValid())
        return {};
    return QString::number(date.day()) + QLatin1Char(' ') + NomMois(date.month());
}

QString TexteAnniversaire(const QDate &naissance)
{
    if (!naissance.isValid())
        return {};
    if (naissance.year() == AnneeInconnue)
        return TexteJourMois(naissance);
    return TexteJourMois(naissance) + QStringLiteral(" (") + QString::number(CalculeAge(naissance)) + QStringLiteral(" ans)");
}

} // namespace oxi
