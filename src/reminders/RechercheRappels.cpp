#include "RechercheRappels.h"

#include "Messagerie.h"
#include "Rappels.h"
#include "Reports.h"

#include <QCoreApplication>
#include <QTimer>
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
    ExclutReportes();
    MontreRappels();
}

void MontreRappels()
{
    if (frmMessage *ouvert = frmMessage::Instance()) {
        // Already open: keeps what it shows, its navigation follows the new list.
        ouvert->Actualise();
        ouvert->show();
        ouvert->raise();
        ouvert->activateWindow();
        return;
    }
    if (CompteRappelsNonAffiches() == 0)
        return;
    auto *fenetre = new frmMessage;
    fenetre->Form_Load();
    fenetre->show();
}

void RappelleReportes()
{
    if (RameneReportes(Maintenant()) > 0)
        MontreRappels();
}

void GuetteReports()
{
    // The real clock is read each time: a machine asleep past the moment shows it on waking.
    static QTimer *guet = nullptr;
    if (!guet) {
        guet = new QTimer(QCoreApplication::instance());
        guet->setInterval(15000);
        QObject::connect(guet, &QTimer::timeout, [] {
            RappelleReportes();
            if (CompteReportes() == 0)
                guet->stop();
        });
    }
    guet->start();
}

void FermeMessage()
{
    if (frmMessage *ouvert = frmMessage::Instance())
        ouvert->FermePourQuitter();
}

} // namespace oxi
