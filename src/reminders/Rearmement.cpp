#include "Rearmement.h"

#include "Base.h"
#include "DepotRappels.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "Reglages.h"

namespace oxi {

bool RearmeEcheances()
{
    const QString annee = QString::number(Aujourdhui().year());
    const QString anneeStockee = LitReglage(ReglageAnnee);
    if (anneeStockee == annee)
        return true;
    // No database (a missing file): nothing to re-arm yet; the year waits for one.
    if (!Base().EstOuverte())
        return false;
    bool anneeEcrite = false; // written and committed to the store's file
    try {
        Transaction transaction(Base());
        DepotRappels().Rearme();
        // The year is written before the rows are committed, so that a store that
        // refuses it rolls the rows back; a refused commit puts the old year back.
        anneeEcrite = EcritReglage(ReglageAnnee, annee);
        if (!anneeEcrite)
            throw ErreurBase(QStringLiteral("réglage de l'année non écrit"));
        transaction.Valide();
        return true;
    } catch (const ErreurBase &) {
        // Qt keeps a refused value in its in-process copy of the store: the old
        // year goes back there too, so that the next try still sees it.
        if (anneeEcrite || LitReglage(ReglageAnnee) != anneeStockee)
            EcritReglage(ReglageAnnee, anneeStockee);
    }
    MsgInfo(QStringLiteral("Les rappels n'ont pas pu être préparés pour la nouvelle année. "
                           "Oxi réessaiera au prochain démarrage."));
    return false;
}

} // namespace oxi
