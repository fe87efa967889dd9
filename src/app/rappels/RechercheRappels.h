#pragma once
#include "Rappels.h"
#include "Reports.h"
#include "VeilleJour.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

namespace oxi {

class frmMessage;

// The reminders of a running program: the due scan, its change-of-day job and
// the popup that shows what the scan found.
class AffichageRappels : public QObject
{
    Q_OBJECT
public:
    explicit AffichageRappels(QObject *parent = nullptr);
    ~AffichageRappels() override;

    // Due scan: opens the popup when any is due; an open popup keeps what it
    // shows and its navigation follows the new list.
    void RechercheRappels();
    // Closes the popup, asking first about reminders left to show.
    void FermeMessage();
    // The exit: the popup asks once and closes whatever the answer.
    void FermePourQuitter();
    // The popup on screen, or nullptr.
    frmMessage *Message() const;
    // Brings back the reminders put off whose moment has come.
    void RappelleReportes();
    const ReportsRappels &Reports() const { return m_reports; }
    VeilleJour &Veille() { return m_veille; }

private:
    // After a scan: what is put off stays away, the rest is shown.
    void MontreDus();
    void MontreMessage();

    ScanRappels m_scan;
    VeilleJour m_veille;
    QPointer<frmMessage> m_message;
    ReportsRappels m_reports;
    // Reads the real clock while reminders are put off: a machine asleep past
    // their moment shows them on waking.
    QTimer m_guet;
};

} // namespace oxi
