#include "TexteRappel.h"

#include "Constantes.h"
#include "TexteLignes.h"

namespace oxi {

namespace {

constexpr int LargeurMessage = 55;

QString Coupe(QString texte, double &lignes)
{
    return DecoupeLignes(texte, LargeurMessage, lignes);
}

} // namespace

QDate JourRappel(const QDate &dateRappel, const Echeances &echeances, const QDate &aujourdhui)
{
    const QDate jour = JourEvenement(dateRappel, aujourdhui.year());
    // Lead dates always come before their event; one after this year's event
    // belongs to next year's (re-armed into December).
    if (jour < aujourdhui) {
        for (int k = 2; k <= 3; ++k)
            if (echeances[k].date != DateNulle && echeances[k].date > jour && echeances[k].date <= aujourdhui)
                return JourEvenement(dateRappel, aujourdhui.year() + 1);
    }
    return jour;
}

QString LigneDate(const QDate &jour, const QDate &aujourdhui)
{
    if (jour == aujourdhui)
        return QStringLiteral("Aujourd'hui,");
    return QStringLiteral("Le %1 %2 %3,").arg(NomJour(jour.dayOfWeek())).arg(jour.day()).arg(NomMois(jour.month()));
}

std::optional<TexteRappel> ComposeRappel(const RappelStocke &rappel, const QDate &aujourdhui)
{
    if (!rappel.type || !rappel.dateRappel.isValid())
        return std::nullopt;
    TexteRappel t;
    t.type = *rappel.type;
    const QDate jour = JourRappel(rappel.dateRappel, rappel.echeances, aujourdhui);
    t.ligneDate = LigneDate(jour, aujourdhui);
    double lignes = 0;
    switch (t.type) {
    case TypeRappel::Note: {
        const QString titre = Coupe(rappel.libelle, lignes);
        // The title and the blank line after it count as two, however long the title.
        lignes = 2;
        t.message = titre + QStringLiteral("\r\n\r\n") + CompteLignes(rappel.texte, LargeurMessage, lignes);
        break;
    }
    case TypeRappel::Anniversaire: {
        const int diese = rappel.libelle.indexOf(QLatin1Char('#'));
        const QString nomFamille = diese < 0 ? rappel.libelle : rappel.libelle.left(diese);
        const QString prenom = diese < 0 ? QString() : rappel.libelle.mid(diese + 1);
        const QString nom = prenom.isEmpty() ? nomFamille : prenom + QLatin1Char(' ') + nomFamille;
        t.message = Coupe(rappel.dateRappel.year() != AnneeInconnue ? nom + QStringLiteral(" : ")
                                  + QString::number(jour.year() - rappel.dateRappel.year()) + QStringLiteral(" ans.")
                                                                    : nom + QStringLiteral(" (âge inconnu)"),
                          lignes);
        break;
    }
    case TypeRappel::Fete:
        t.message = Coupe(rappel.libelle, lignes);
        break;
    }
    t.nbLignes = ArrondiPair(lignes);
    return t;
}

QString SalutationCarte(TypeRappel type, const QString &libelle)
{
    if (type == TypeRappel::Anniversaire) {
        // "Nom#Prénom": the first name when there is one, else the whole name.
        const QString prenom = libelle.section(QLatin1Char('#'), 1).trimmed();
        const QString nom = prenom.isEmpty() ? libelle.section(QLatin1Char('#'), 0, 0).trimmed() : prenom;
        return nom.isEmpty() ? QStringLiteral("Joyeux anniversaire !") : QStringLiteral("Joyeux anniversaire %1 !").arg(nom);
    }
    if (type == TypeRappel::Fete) {
        const QString nom = libelle.trimmed();
        return nom.isEmpty() ? QStringLiteral("Bonne fête !") : QStringLiteral("Bonne fête %1 !").arg(nom);
    }
    return {};
}

} // namespace oxi
