#include "TablesRappels.h"

#include "Base.h"
#include "Constantes.h"
#include "Echeances.h"
#include "Horloge.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace oxi {

namespace {

Tableau tabAnniv{{}, {3, 4}};
Tableau tabFetes{{}, {3}};
Tableau tabNotes{{}, {3}};

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

Resultat LitRappels(const QString &type)
{
    return OuvreRecordset(QStringLiteral("SELECT NumRappel, DateRappel, Libelle FROM Rappel WHERE Type=? "
                                         "ORDER BY NumRappel"),
                          {type});
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
    std::stable_sort(ordre.begin(), ordre.end(),
                     [&](int a, int b) { return Precede(dates, cles.at(a), cles.at(b)); });
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

Tableau &TabAnniv()
{
    return tabAnniv;
}

Tableau &TabFetes()
{
    return tabFetes;
}

Tableau &TabNotes()
{
    return tabNotes;
}

void RemplitTabAnniv()
{
    const Resultat r = LitRappels(QStringLiteral("A"));
    QVector<LigneTableau> lignes;
    const int annee = Aujourdhui().year();
    for (int i = 0; i < r.Nombre(); ++i) {
        const QString libelle = LitChamp(r.Valeur(i, 2));
        const QDate naissance = LitDate(r.Valeur(i, 1));
        // A label without "#" (never stored by the panel) shows as a name alone.
        const int p = libelle.indexOf(QLatin1Char('#'));
        const QString nom = p < 0 ? libelle : libelle.left(p);
        const QString prenom = p < 0 ? QString() : libelle.mid(p + 1);
        lignes.append({{nom, prenom, TexteDate(naissance), TexteDate(JourEvenement(naissance, annee))},
                       r.Valeur(i, 0).toInt()});
    }
    tabAnniv.lignes = lignes;
    TrieTableau(tabAnniv, TriDefautAnniv);
}

void RemplitTabFetes()
{
    const Resultat r = LitRappels(QStringLiteral("F"));
    QVector<LigneTableau> lignes;
    const int annee = Aujourdhui().year();
    for (int i = 0; i < r.Nombre(); ++i) {
        const QDate date = LitDate(r.Valeur(i, 1));
        lignes.append({{LitChamp(r.Valeur(i, 2)), TexteJourMois(date), TexteDate(JourEvenement(date, annee + 1))},
                       r.Valeur(i, 0).toInt()});
    }
    tabFetes.lignes = lignes;
    TrieTableau(tabFetes, TriDefautFetes);
}

void RemplitTabNotes()
{
    const Resultat r = LitRappels(QStringLiteral("N"));
    QVector<LigneTableau> lignes;
    const int annee = Aujourdhui().year();
    for (int i = 0; i < r.Nombre(); ++i) {
        const QDate date = LitDate(r.Valeur(i, 1));
        lignes.append({{LitChamp(r.Valeur(i, 2)), TexteJourMois(date) + QLatin1Char(' ') + QString::number(date.year()),
                        TexteDate(JourEvenement(date, annee))},
                       r.Valeur(i, 0).toInt()});
    }
    tabNotes.lignes = lignes;
    TrieTableau(tabNotes, TriDefautNotes);
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
    return TexteJourMois(naissance) + QStringLiteral(" (") + QString::number(CalculeAge(naissance)) +
           QStringLiteral(" ans)");
}

} // namespace oxi
