#pragma once
#include "PanneauRappels.h"

class QLineEdit;

namespace oxi {

// The birthdays panel (fraAnniv): the sorted list with Ajouter, Modifier and
// Supprimer, and the entry view with the name, the birth date and the lead times.
class PanneauAnniv : public PanneauRappels
{
    Q_OBJECT
public:
    explicit PanneauAnniv(QWidget *parent);

    // Selects the date items matching the typed texts; false when the date cannot be used.
    bool RechercheDateAnniv();

    QLabel *lblNomAnniv = nullptr;
    QLineEdit *txtNomAnniv = nullptr;
    QLabel *lblPrenomAnniv = nullptr;
    QLineEdit *txtPrenomAnniv = nullptr;
    QLabel *lblDateNaiss = nullptr;
    QComboBox *cboAnnivJ = nullptr;
    QComboBox *cboAnnivM = nullptr;
    QComboBox *cboAnnivA = nullptr;

protected:
    void PrepareAjout() override;
    void MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &ligne) override;
    bool Enregistre(bool ajout) override;
    void VideSaisie() override;

private:
    void RemplitDatesAnniv();
    // Reads the entry view; nothing when a value cannot be read (reported).
    std::optional<Anniversaire> LitSaisieAnniv();
};

} // namespace oxi
