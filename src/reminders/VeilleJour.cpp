#include "VeilleJour.h"

#include "Messagerie.h"
#include "Rearmement.h"

namespace oxi {

VeilleJour::VeilleJour(ScanRappels &scan, QObject *parent) : QObject(parent), m_scan(scan), m_jourVu(Aujourdhui())
{
    m_minuteur.setObjectName(QStringLiteral("minuteurJour"));
    m_minuteur.setInterval(1000);
    connect(&m_minuteur, &QTimer::timeout, this, &VeilleJour::ControleJour);
    m_minuteur.start();
}

// A change of day is the date differing from the one seen at the previous
// tick: a skipped second or a suspend over midnight still counts.
void VeilleJour::ControleJour()
{
    const QDate jour = Aujourdhui();
    if (jour == m_jourVu)
        return;
    m_jourVu = jour;
    Q_EMIT jourChange();
    RearmeEcheances();
    if (ScruteRappels(m_scan))
        Q_EMIT rappelsDus();
}

bool ScruteRappels(ScanRappels &scan)
{
    try {
        return scan.Scrute();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de l'affichage du message"));
        return false;
    }
}

} // namespace oxi
