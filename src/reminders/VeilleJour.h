#pragma once
#include "Rappels.h"

#include <QDate>
#include <QObject>
#include <QTimer>

// The change-of-day job of the reminders, run from the program's clock.
namespace oxi {

// Looks at the date every second; on a new day (a skipped tick or a resume after
// midnight included) it asks for the daily popups to be reloaded, re-arms the
// year when it changed, and scans for due reminders.
class VeilleJour : public QObject
{
    Q_OBJECT
public:
    explicit VeilleJour(ScanRappels &scan, QObject *parent = nullptr);

    // One look at the clock (what each tick of the timer does).
    void ControleJour();

Q_SIGNALS:
    // A new day began: the daily popups are to be reloaded.
    void jourChange();
    // The scan found due reminders (the scan's list holds them).
    void rappelsDus();

private:
    ScanRappels &m_scan;
    QTimer m_minuteur;
    QDate m_jourVu;
};

// Runs the due scan; tells "Erreur lors de l'affichage du message" when it fails.
// True when something is due.
bool ScruteRappels(ScanRappels &scan);

} // namespace oxi
