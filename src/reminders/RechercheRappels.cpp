#include "RechercheRappels.h"

#include "Messagerie.h"
#include "Rappels.h"
#include "frmMessage.h"

namespace oxi {

void RechercheRappels()
{
    bool trouve = false;
    try {
        trouve = ListeRappelsDus();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de l'affichage du message"));
        return;
    }
    if (!trouve)
        return;
    if (frmMessage *ouvert = frmMessage::Instance()) {
        // Already open: keeps what it shows, its navigation follows the new list.
        ouvert->Actualise();
        ouvert->show();
        ouvert->raise();
        ouvert->activateWindow();
        return;
    }
    auto *fenetre = new frmMessage;
    fenetre->Form_Load();
    fenetre->show();
}

void FermeMessage()
{
    if (frmMessage *ouvert = frmMessage::Instance())
        ouvert->FermePourQuitter();
}

} // namespace oxi
