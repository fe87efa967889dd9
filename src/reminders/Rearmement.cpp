#include "Rearmement.h"

#include "Base.h"
#include "Constantes.h"
#include "Echeances.h"
#include "Horloge.h"
#include "Reglages.h"

namespace oxi {

QDate AnneeSuivante(const QDate &date)
{
    return ConstruitDate(date.year() + 1, date.month(), date.day());
}

void RearmeEcheances()
{
    const QString annee = QString::number(Aujourdhui().year());
    if (LitReglage(ReglageAnnee) == annee)
        return;
    // Stored first, so that a failure below is not retried every start of the year.
    EcritReglage(ReglageAnnee, annee);

    try {
        const Resultat lignes = OuvreRecordset(QStringLiteral(
            "SELECT NumRappel, Type, Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3 FROM Rappel ORDER BY NumRappel"));
        if (lignes.Vide())
            return;
        // One transaction: either every row moves a year or none does.
        Transaction transaction(Base());
        for (int i = 0; i < lignes.Nombre(); ++i) {
            if (LitChamp(lignes.Valeur(i, QStringLiteral("Type"))) == QLatin1String("N"))
                continue;
            Echeances e = LitEcheances(lignes, i);
            for (int k = 1; k <= 3; ++k) {
                if (e[k].date == DateNulle)
                    continue;
                e[k].date = AnneeSuivante(e[k].date);
                e[k].fait = false;
            }
            try {
                Base().Execute(QStringLiteral("UPDATE Rappel SET Ech1 = ?, EtatEch1 = ?, Ech2 = ?, EtatEch2 = ?, "
                                              "Ech3 = ?, EtatEch3 = ? WHERE NumRappel = ?"),
                               e.Parametres() << lignes.Valeur(i, QStringLiteral("NumRappel")));
            } catch (const ErreurBase &) {
                // A failing row stays as it was; the others go on.
            }
        }
        transaction.Valide();
    } catch (const ErreurBase &) {
        // No database or unreadable table: nothing is re-armed this year.
    }
}

} // namespace oxi
