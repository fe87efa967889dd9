#include "Echanges.h"
#include "Base.h"
#include "EcritureRappels.h"

#include <QFile>
#include <QSaveFile>
#include <QSet>

extern "C" {
#include <libical/ical.h>
}

namespace oxi {

namespace {

// The one place that speaks to the birthday writer of the panels.
Anniversaire AnniversaireFiche(const FicheContact &fiche, const ChoixEcheances &choix = {})
{
    Anniversaire anniv;
    anniv.nom = fiche.nom;
    anniv.prenom = fiche.prenom;
    anniv.annee = fiche.annee;
    anniv.mois = fiche.mois;
    anniv.jour = fiche.jour;
    anniv.choix = choix;
    return anniv;
}

// Case and accents aside: "hélène" finds "Hélène" and "HELENE".
QString Cle(const QString &texte)
{
    QString cle;
    for (const QChar c : texte.normalized(QString::NormalizationForm_D))
        if (c.category() != QChar::Mark_NonSpacing)
            cle += c.toCaseFolded();
    return cle.simplified();
}

} // namespace

QVector<RappelStocke> LitRappelsEchange()
{
    QVector<RappelStocke> rappels = DepotRappels().Tous();
    rappels.removeIf([](const RappelStocke &r) { return !r.type || !r.dateRappel.isValid(); });
    return rappels;
}

ComposantIcal ComposeAgenda(const QVector<RappelStocke> &rappels)
{
    ComposantIcal agenda(icalcomponent_new_vcalendar());
    icalcomponent_add_property(agenda.get(), icalproperty_new_version("2.0"));
    icalcomponent_add_property(agenda.get(), icalproperty_new_prodid("-//Oxi//Oxi " OXI_VERSION "//FR"));
    icalcomponent_add_property(agenda.get(), icalproperty_new_calscale("GREGORIAN"));
    icalproperty *nom = icalproperty_new_x("Oxi");
    icalproperty_set_x_name(nom, "X-WR-CALNAME");
    icalcomponent_add_property(agenda.get(), nom);
    for (const RappelStocke &rappel : rappels)
        icalcomponent_add_component(agenda.get(), ConvertitRappel(rappel, UidRappel(rappel.numRappel)).release());
    return agenda;
}

int ExporteAgenda(const QString &chemin, QString *erreur)
{
    QVector<RappelStocke> rappels;
    try {
        rappels = LitRappelsEchange();
    } catch (const ErreurBase &) {
        *erreur = QStringLiteral("Impossible de lire les rappels dans la base de données.");
        return -1;
    }
    const ComposantIcal agenda = ComposeAgenda(rappels);
    char *brut = icalcomponent_as_ical_string_r(agenda.get());
    const QByteArray texte(brut);
    free(brut);

    // What we hand over must read back as the same number of sound events.
    const ComposantIcal relu(icalparser_parse_string(texte.constData()));
    if (!relu || icalcomponent_count_errors(relu.get()) != 0
        || icalcomponent_count_components(relu.get(), ICAL_VEVENT_COMPONENT) != rappels.size()) {
        *erreur = QStringLiteral("L'agenda produit n'a pas pu être vérifié ; rien n'a été écrit.");
        return -1;
    }
    QSaveFile fichier(chemin);
    if (!fichier.open(QIODevice::WriteOnly) || fichier.write(texte) != texte.size() || !fichier.commit()) {
        *erreur = QStringLiteral("Impossible d'écrire le fichier %1 : %2").arg(chemin, fichier.errorString());
        return -1;
    }
    return int(rappels.size());
}

PlanImport PrepareImport(const QVector<FicheContact> &fiches)
{
    PlanImport plan;
    QSet<QPair<QString, QDate>> vus;
    QSet<QString> prenoms;
    for (const FicheContact &fiche : fiches) {
        if (fiche.etat == EtatFiche::SansDate) {
            ++plan.sansDate;
            continue;
        }
        if (fiche.etat == EtatFiche::Illisible) {
            ++plan.illisibles;
            continue;
        }
        const Anniversaire anniv = AnniversaireFiche(fiche);
        const QPair<QString, QDate> cle{anniv.Libelle().toCaseFolded(), anniv.DateRappel()};
        if (vus.contains(cle) || ExisteAnniversaire(anniv) != 0) {
            ++plan.dejaPresents;
            continue;
        }
        vus.insert(cle);
        plan.aAjouter.append(fiche);
        if (!fiche.prenom.isEmpty())
            prenoms.insert(Cle(fiche.prenom));
    }
    if (prenoms.isEmpty())
        return plan;

    QVector<PrenomFete> calendrier = ChargeListeFetes();
    std::stable_sort(calendrier.begin(), calendrier.end(), [](const PrenomFete &a, const PrenomFete &b) {
        return std::pair(a.mois, a.jour) < std::pair(b.mois, b.jour);
    });
    const int annee = Aujourdhui().year();
    for (const PrenomFete &fete : calendrier) {
        const QString cle = Cle(fete.prenom);
        const QDate date(annee, fete.mois, fete.jour);
        if (!prenoms.contains(cle) || !date.isValid() || DepotRappels().CompteFetes(fete.prenom) != 0)
            continue;
        prenoms.remove(cle); // the first day of the year that celebrates the name
        plan.fetes.append(fete.prenom);
        plan.datesFetes.append(date);
    }
    return plan;
}

int ImporteContacts(const PlanImport &plan, const ChoixEcheances &choix, bool fetes)
{
    Transaction transaction(Base());
    for (const FicheContact &fiche : plan.aAjouter)
        AjouteAnniversaire(AnniversaireFiche(fiche, choix));
    int ajoutees = 0;
    if (fetes) {
        for (int i = 0; i < plan.fetes.size(); ++i, ++ajoutees)
            AjouteFete(SaisieFete{plan.fetes.at(i), plan.datesFetes.at(i)}, choix);
    }
    transaction.Valide();
    return ajoutees;
}

} // namespace oxi
