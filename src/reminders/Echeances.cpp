#include "Echeances.h"

#include <cstdio>
#include <cstring>

namespace oxi {

namespace {

template <typename Caractere> int Chiffres(const Caractere *texte, int debut, int nombre)
{
    int valeur = 0;
    for (int i = debut; i < debut + nombre; ++i) {
        const auto c = char16_t(texte[i]);
        if (c < u'0' || c > u'9')
            return -1;
        valeur = valeur * 10 + (c - u'0');
    }
    return valeur;
}

// Read by hand: the due scan and the re-arming call this for every slot of every row.
template <typename Caractere> QDate LitDate(const Caractere *texte, qsizetype taille)
{
    if (taille != 10 || char16_t(texte[4]) != u'-' || char16_t(texte[7]) != u'-')
        return {};
    const int annee = Chiffres(texte, 0, 4);
    const int mois = Chiffres(texte, 5, 2);
    const int jour = Chiffres(texte, 8, 2);
    if (annee < 0 || mois < 0 || jour < 0)
        return {};
    return QDate(annee, mois, jour); // invalid for a day the month lacks
}

} // namespace

QDate LitDateStockee(QStringView texte)
{
    return LitDate(texte.utf16(), texte.size());
}

QDate LitDateStockee(const char *octets, int taille)
{
    return octets ? LitDate(octets, taille) : QDate();
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

bool EcheanceRearmee(const char *octets, int taille, char *sortie)
{
    const QDate date = LitDateStockee(octets, taille);
    if (!date.isValid() || date == DateNulle)
        return false;
    const QDate suivante = AnneeSuivante(date);
    // Past year 9999 there is no stored form: the slot stays.
    if (suivante.year() > 9999)
        return false;
    char tampon[16];
    std::snprintf(tampon, sizeof tampon, "%04d-%02d-%02d", suivante.year(), suivante.month(), suivante.day());
    std::memcpy(sortie, tampon, 10);
    return true;
}

std::optional<QString> EcheanceRearmee(QStringView stockee)
{
    const QByteArray octets = stockee.toUtf8();
    char suivante[10];
    if (!EcheanceRearmee(octets.constData(), int(octets.size()), suivante))
        return std::nullopt;
    return QString::fromLatin1(suivante, 10);
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

Echeances EcheancesModification(const Echeances &anciennes, const QDate &evenement, const ChoixEcheances &choix,
                                const QDate &aujourdhui)
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
