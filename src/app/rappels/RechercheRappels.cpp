#include "RechercheRappels.h"

#include "frmMessage.h"

namespace oxi {

AffichageRappels::AffichageRappels(QObject *parent) : QObject(parent), m_veille(m_scan)
{
    connect(&m_veille, &VeilleJour::rappelsDus, this, &AffichageRappels::MontreDus);
    m_guet.setInterval(15000);
    connect(&m_guet, &QTimer::timeout, this, &AffichageRappels::RappelleReportes);
}

AffichageRappels::~AffichageRappels()
{
    delete m_message.data();
}

void AffichageRappels::RechercheRappels()
{
    if (ScruteRappels(m_scan))
        MontreDus();
}

void AffichageRappels::MontreDus()
{
    m_reports.Exclut(m_scan.File());
    MontreMessage();
}

void AffichageRappels::RappelleReportes()
{
    if (m_reports.Ramene(m_scan.File(), Maintenant()) > 0)
        MontreMessage();
    if (m_reports.Nombre() == 0)
        m_guet.stop();
}

void AffichageRappels::MontreMessage()
{
    if (frmMessage *ouvert = Message()) {
        ouvert->Actualise();
        ouvert->raise();
        ouvert->activateWindow();
        return;
    }
    if (m_scan.File().NonAffiches() == 0)
        return;
    auto *fenetre = new frmMessage(m_scan);
    fenetre->FixeReports(&m_reports);
    connect(fenetre, &frmMessage::reporte, this, [this] { m_guet.start(); });
    if (!fenetre->AffichePremierRappel()) {
        delete fenetre;
        return;
    }
    m_message = fenetre;
    fenetre->show();
}

void AffichageRappels::FermeMessage()
{
    if (frmMessage *ouvert = Message())
        ouvert->close();
}

void AffichageRappels::FermePourQuitter()
{
    if (frmMessage *ouvert = Message())
        ouvert->FermePourQuitter();
}

frmMessage *AffichageRappels::Message() const
{
    // A closed popup waits for its deletion: it no longer counts.
    return m_message && m_message->isVisible() ? m_message.data() : nullptr;
}

} // namespace oxi
