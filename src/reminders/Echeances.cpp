#include "Echeances.h"

namespace oxi {

namespace {

int Chiffres(QStringView texte, int debut, int nombre)
{
    int valeur = 0;
    for (int i = debut; i < debut + nombre; ++i) {
        const QChar c = texte.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
        valeur = valeur * 10 + (c.unicode() - '0');
    }
    return valeur;
}

} // namespace

QDate LitDateStockee(QStringView texte)
{
    // Read by hand: the due scan calls this for every slot of every row.
    if (texte.size() != 10 || texte.at(4) != QLatin1Char('-') || texte.at(7) != QLatin1Char('-'))
        return {};
    const int annee = Chiffres(texte, 0, 4);
    const int mois = Chiffres(texte, 5, 2);
    const int jour = Chiffres(texte, 8, 2);
    if (annee < 0 || mois < 0 || jour < 0)
        return {};
    return QDate(annee, mois, jour); // invalid for a day the month lacks
}

bool EstDu(const Echeances &e, const QDate &aujourdhui)
{
    if (e[1].date == aujourdhui)
        return true;
    for (const Echeance &s : e.ech)
        if (s.date.isValid() && s.date != DateNulle && s.date <= aujourdhui && !s.fait)
            return true;
    return false;
}

QDate AnneeSuivante(const QDate &date)
{
    return ConstruitDate(date.year() + 1, date.month(), date.day());
}

std::optional<QString> EcheanceRearmee(QStringView stockee)
{
    const QDate date = LitDateStockee(stockee);
    if (!date.isValid() || date == DateNulle)
        return std::nullopt;
    const QString suivante = AnneeSuivante(date).toString(Qt::ISODate);
    // Past year 9999 there is no stored form: the slot stays.
    if (!LitDateStockee(suivante).isValid())
        return std::nullopt;
    return suivante;
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

} // namespace oxi
