#include "ListesRappels.h"

#include "Base.h"
#include "Constantes.h"
#include "Echeances.h"
#include "Horloge.h"

namespace oxi {

namespace {

Tableau tabAnniv{{}, {3, 4}};
Tableau tabFetes{{}, {3}};
Tableau tabNotes{{}, {3}};

// True when the key of row j sorts before the key of row i.
bool Precede(const Tableau &tableau, int colonne, const LigneTableau &j, const LigneTableau &i)
{
    if (tableau.colonnesDates.contains(colonne)) {
        const QDate di = QDate::fromString(i.Colonne(colonne), Qt::ISODate);
        const QDate dj = QDate::fromString(j.Colonne(colonne), Qt::ISODate);
        if (di.isValid() && dj.isValid())
            return dj < di;
    }
    // Character codes one by one: É comes after Z.
    return i.Colonne(colonne).toUpper() > j.Colonne(colonne).toUpper();
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
    for (int i = 0; i < lignes.size(); ++i)
        for (int j = i + 1; j < lignes.size(); ++j)
            if (Precede(tableau, colonne, lignes.at(j), lignes.at(i)))
                std::swap(lignes[i], lignes[j]);
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
