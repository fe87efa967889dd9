#include "Echeances.h"

#include "Base.h"

namespace oxi {

QVariantList Echeances::Parametres() const
{
    QVariantList valeurs;
    for (const Echeance &e : ech)
        valeurs << TexteDate(e.date) << (e.fait ? 1 : 0);
    return valeurs;
}

QDate ConstruitDate(int annee, int mois, int jour)
{
    const QDate premier(annee, mois, 1);
    if (!premier.isValid())
        return {};
    // Day 0 or below counts back like day overflow counts forward.
    return premier.addDays(jour - 1);
}

QDate JourEvenement(const QDate &reference, int annee)
{
    return ConstruitDate(annee, reference.month(), reference.day());
}

Echeances CalculeEcheances(const QDate &evenement, const ChoixEcheances &choix)
{
    Echeances e;
    if (choix.jourMeme)
        e[1].date = evenement;
    if (choix.delai1 > 0)
        e[2].date = evenement.addDays(-choix.delai1);
    if (choix.delai2 > 0)
        e[3].date = evenement.addDays(-choix.delai2);
    return e;
}

Echeances EcheancesAjout(const QDate &evenement, const ChoixEcheances &choix, const QDate &aujourdhui)
{
    Echeances e = CalculeEcheances(evenement, choix);
    for (Echeance &s : e.ech)
        s.fait = s.date < aujourdhui;
    return e;
}

Echeances EcheancesModification(const Echeances &anciennes, const QDate &evenement,
                                const ChoixEcheances &choix, const QDate &aujourdhui)
{
    Echeances e = CalculeEcheances(evenement, choix);
    for (int k = 1; k <= 3; ++k) {
        if (e[k].date < aujourdhui)
            e[k].fait = true;
        else if (e[k].date == anciennes[k].date)
            e[k].fait = anciennes[k].fait;
        else
            e[k].fait = false; // moved to today or later: the user asked for this reminder
    }
    return e;
}

Echeances LitEcheances(const Resultat &resultat, int ligne)
{
    Echeances e;
    for (int k = 1; k <= 3; ++k) {
        const QDate date = LitDate(resultat.Valeur(ligne, QStringLiteral("Ech%1").arg(k)));
        e[k].date = date.isValid() ? date : DateNulle;
        e[k].fait = resultat.Valeur(ligne, QStringLiteral("EtatEch%1").arg(k)).toInt() != 0;
    }
    return e;
}

} // namespace oxi
