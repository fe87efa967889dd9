#pragma once
#include "PanneauRappels.h"

namespace oxi {

// The name-days panel (fraFetes): the sorted list, and the entry view where a
// first name is picked with its day from the reference table.
class PanneauFetes : public PanneauRappels
{
    Q_OBJECT
public:
    explicit PanneauFetes(QWidget *parent);

    void GereAffiche(bool val) override;

    QComboBox *cboFetes = nullptr;

protected:
    void PrepareAjout() override;
    void MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &ligne) override;
    bool Enregistre(bool ajout) override;
    void VideSaisie() override;
};

} // namespace oxi
