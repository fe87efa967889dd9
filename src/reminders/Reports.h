#pragma once
#include <QDateTime>
#include <QList>

#include "Base.h"
#include "Echeances.h"

// Reminders put off by "Plus tard": not acknowledged, back at a chosen moment.
// Kept in memory: their done flags are as before they were shown, so a program
// stopped meanwhile shows them at its next start like any reminder due.
namespace oxi {

class FileRappels;

enum class DelaiReport { QuinzeMinutes, UneHeure, DemainMatin };

// 15 minutes or one hour on, or 9 o'clock the next day.
QDateTime MomentReport(DelaiReport delai, const QDateTime &maintenant);

class ReportsRappels
{
public:
    // Puts `numero` off until `quand`, its done flags written back to `avant`.
    // Throws ErreurBase, with nothing put off, when the flags cannot be written.
    void Reporte(qint64 numero, const Echeances &avant, const QDateTime &quand, Connexion &connexion = Base());
    // Reminders put off and not back yet.
    int Nombre() const { return int(m_reports.size()); }
    // Those whose moment has come go back into `file` as not shown; returns how many.
    int Ramene(FileRappels &file, const QDateTime &maintenant);
    // The one coming back first, back now (reached by "Suivant" or the close question).
    bool RameneProchain(FileRappels &file);
    // After a scan: those put off are kept out of `file` until their moment.
    void Exclut(FileRappels &file) const;

private:
    struct Report
    {
        qint64 numero = 0;
        QDateTime quand;
    };
    QList<Report> m_reports;
};

} // namespace oxi
