#include "Reports.h"

#include "DepotRappels.h"
#include "Rappels.h"

#include <algorithm>

namespace oxi {

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

void ReportsRappels::Reporte(qint64 numero, const Echeances &avant, const QDateTime &quand, Connexion &connexion)
{
    DepotRappels(connexion).RemetDrapeaux(numero, avant);
    m_reports.removeIf([numero](const Report &r) { return r.numero == numero; });
    m_reports << Report{numero, quand};
}

int ReportsRappels::Ramene(FileRappels &file, const QDateTime &maintenant)
{
    const auto revenus = std::stable_partition(m_reports.begin(), m_reports.end(),
                                               [&maintenant](const Report &r) { return r.quand > maintenant; });
    const int n = int(std::distance(revenus, m_reports.end()));
    for (auto it = revenus; it != m_reports.end(); ++it)
        file.RemetEnAttente(it->numero);
    m_reports.erase(revenus, m_reports.end());
    return n;
}

bool ReportsRappels::RameneProchain(FileRappels &file)
{
    if (m_reports.isEmpty())
        return false;
    const auto premier =
        std::min_element(m_reports.begin(), m_reports.end(), [](const Report &a, const Report &b) { return a.quand < b.quand; });
    file.RemetEnAttente(premier->numero);
    m_reports.erase(premier);
    return true;
}

void ReportsRappels::Exclut(FileRappels &file) const
{
    for (const Report &r : m_reports)
        file.MarqueAffiche(r.numero);
}

} // namespace oxi
