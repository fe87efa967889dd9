#include "TypesEchanges.h"

namespace oxi {

namespace {

QString Compte(int n, const QString &singulier, const QString &pluriel)
{
    return QString::number(n) + QLatin1Char(' ') + (n > 1 ? pluriel : singulier);
}

} // namespace

QString TexteBilan(const PlanImport &plan)
{
    return Compte(int(plan.aAjouter.size()), QStringLiteral("anniversaire ajouté"), QStringLiteral("anniversaires ajoutés"))
        + QStringLiteral(", ") + Compte(plan.dejaPresents, QStringLiteral("déjà présent"), QStringLiteral("déjà présents"))
        + QStringLiteral(", ")
        + Compte(plan.sansDate, QStringLiteral("contact sans date de naissance"),
                 QStringLiteral("contacts sans date de naissance"))
        + QStringLiteral(", ") + Compte(plan.illisibles, QStringLiteral("fiche illisible"), QStringLiteral("fiches illisibles"));
}

} // namespace oxi
