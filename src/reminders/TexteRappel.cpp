#include "TexteRappel.h"

#include "Constantes.h"
#include "TexteLignes.h"

namespace oxi {

int ConvertType(const QString &typeRappel)
{
    if (typeRappel == QLatin1String("F"))
        return 1;
    if (typeRappel == QLatin1String("A"))
        return 2;
    if (typeRappel == QLatin1String("N"))
        return 3;
    return 0;
}

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

TexteRappel ComposeRappel(const Resultat &rappel, int ligne, const QDate &aujourdhui)
{
    TexteRappel t;
    if (ligne < 0 || ligne >= rappel.Nombre()) {
        t.valide = false;
        return t;
    }
    const QString type = LitChamp(rappel.Valeur(ligne, QStringLiteral("Type")));
    const QString libelle = LitChamp(rappel.Valeur(ligne, QStringLiteral("Libelle")));
    const QDate dateRappel = LitDate(rappel.Valeur(ligne, QStringLiteral("DateRappel")));
    if (!dateRappel.isValid()) {
        t.valide = false;
        return t;
    }
    t.typeMess = ConvertType(type);
    const QDate jour = JourRappel(dateRappel, LitEcheances(rappel, ligne), aujourdhui);
    t.ligneDate = LigneDate(jour, aujourdhui);

    if (type == QLatin1String("N")) {
        QString titre = libelle;
        titre = DecoupeLignes(titre, 55);
        NbLignes = 2;
        const QString texte = CompteLignes(LitChamp(rappel.Valeur(ligne, QStringLiteral("Libelle1")))
                                               + LitChamp(rappel.Valeur(ligne, QStringLiteral("Libelle2"))),
                                           55);
        t.message = titre + QStringLiteral("\r\n\r\n") + texte;
    } else if (type == QLatin1String("A")) {
        const int diese = libelle.indexOf(QLatin1Char('#'));
        const QString nomFamille = diese < 0 ? libelle : libelle.left(diese);
        const QString prenom = diese < 0 ? QString() : libelle.mid(diese + 1);
        const QString nom = prenom.isEmpty() ? nomFamille : prenom + QLatin1Char(' ') + nomFamille;
        QString message = dateRappel.year() != AnneeInconnue
            ? nom + QStringLiteral(" : ") + QString::number(jour.year() - dateRappel.year()) + QStringLiteral(" ans.")
            : nom + QStringLiteral(" (âge inconnu)");
        t.message = DecoupeLignes(message, 55);
    } else if (type == QLatin1String("F")) {
        QString message = libelle;
        t.message = DecoupeLignes(message, 55);
    }
    return t;
}

QString SalutationCarte(const QString &type, const QString &libelle)
{
    if (type == QLatin1String("A")) {
        // "Nom#Prénom": the first name when there is one, else the whole name.
        const QString prenom = libelle.section(QLatin1Char('#'), 1).trimmed();
        const QString nom = prenom.isEmpty() ? libelle.section(QLatin1Char('#'), 0, 0).trimmed() : prenom;
        return nom.isEmpty() ? QStringLiteral("Joyeux anniversaire !") : QStringLiteral("Joyeux anniversaire %1 !").arg(nom);
    }
    if (type == QLatin1String("F")) {
        const QString nom = libelle.trimmed();
        return nom.isEmpty() ? QStringLiteral("Bonne fête !") : QStringLiteral("Bonne fête %1 !").arg(nom);
    }
    return {};
}

} // namespace oxi
