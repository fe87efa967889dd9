#include "RechercheRappels.h"

#include "frmMessage.h"

namespace oxi {

AffichageRappels::AffichageRappels(QObject *parent) : QObject(parent), m_veille(m_scan)
{
    connect(&m_veille, &VeilleJour::rappelsDus, this, &AffichageRappels::MontreMessage);
}

AffichageRappels::~AffichageRappels()
{
    delete m_message.data();
}

void AffichageRappels::RechercheRappels()
{
    if (ScruteRappels(m_scan))
        MontreMessage();
}

void AffichageRappels::MontreMessage()
{
    if (frmMessage *ouvert = Message()) {
        ouvert->Actualise();
        ouvert->raise();
        ouvert->activateWindow();
        return;
    }
    auto *fenetre = new frmMessage(m_scan);
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

frmMessage *AffichageRappels::Message() const
{
    // A closed popup waits for its deletion: it no longer counts.
    return m_message && m_message->isVisible() ? m_message.data() : nullptr;
}

} // namespace oxi
