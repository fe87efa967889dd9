#pragma once
#include "Rappels.h"
#include "VeilleJour.h"

#include <QObject>
#include <QPointer>

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
    // The popup on screen, or nullptr.
    frmMessage *Message() const;
    VeilleJour &Veille() { return m_veille; }

private:
    void MontreMessage();

    ScanRappels m_scan;
    VeilleJour m_veille;
    QPointer<frmMessage> m_message;
};

} // namespace oxi
