#include "Reports.h"

#include "Base.h"
#include "Rappels.h"

#include <algorithm>

namespace oxi {

namespace {

struct Report
{
    int numRappel = 0;
    QDateTime quand;
};

QList<Report> reports;

void RemetEnAttente(int numRappel)
{
    for (RappelDu &r : TabRappels)
        if (r.numRappel == numRappel) {
            r.affiche = 0;
            return;
        }
    TabRappels << RappelDu{0, numRappel};
}

} // namespace

QDateTime MomentReport(DelaiReport delai, const QDateTime &maintenant)
{
    switch (delai) {
    case DelaiReport::QuinzeMinutes:
        return maintenant.addSecs(15 * 60);
    case DelaiReport::UneHeure:
        return maintenant.addSecs(60 * 60);
    case DelaiReport::DemainMatin:
        break;
    }
    return QDateTime(maintenant.date().addDays(1), QTime(9, 0));
}

void ReporteRappel(int numRappel, const Echeances &avant, const QDateTime &quand)
{
    Base().Execute(QStringLiteral("UPDATE Rappel SET EtatEch1 = ?, EtatEch2 = ?, EtatEch3 = ? WHERE NumRappel = ?"),
                   {avant[1].fait ? 1 : 0, avant[2].fait ? 1 : 0, avant[3].fait ? 1 : 0, numRappel});
    reports.removeIf([numRappel](const Report &r) { return r.numRappel == numRappel; });
    reports << Report{numRappel, quand};
}

int CompteReportes()
{
    return int(reports.size());
}

int RameneReportes(const QDateTime &maintenant)
{
    int n = 0;
    for (auto it = reports.begin(); it != reports.end();) {
        if (it->quand <= maintenant) {
            RemetEnAttente(it->numRappel);
            it = reports.erase(it);
            ++n;
        } else {
            ++it;
        }
    }
    return n;
}

bool RameneProchainReporte()
{
    if (reports.isEmpty())
        return false;
    const auto premier = std::min_element(reports.begin(), reports.end(),
                                          [](const Report &a, const Report &b) { return a.quand < b.quand; });
    RemetEnAttente(premier->numRappel);
    reports.erase(premier);
    return true;
}

void ExclutReportes()
{
    for (const Report &report : std::as_const(reports))
        for (RappelDu &r : TabRappels)
            if (r.numRappel == report.numRappel)
                r.affiche = 1;
}

void OublieReportes()
{
    reports.clear();
}

} // namespace oxi
