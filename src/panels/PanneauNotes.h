#pragma once
#include "PanneauRappels.h"

class QDateEdit;
class QLineEdit;
class QPlainTextEdit;

namespace oxi {

// The notes panel (fraNotes): the sorted list, and the entry view with the
// date, the title, the text and the lead times.
class PanneauNotes : public PanneauRappels
{
    Q_OBJECT
public:
    explicit PanneauNotes(QWidget *parent);

    static constexpr int LongueurTitre = 50;
    static constexpr int LongueurTexte = 500;

    QDateEdit *DTDateNote = nullptr;
    QLabel *lblTitreNote = nullptr;
    QLineEdit *txtTitreNote = nullptr;
    QPlainTextEdit *txtNotes = nullptr;

protected:
    void PrepareAjout() override;
    void MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &ligne) override;
    bool Enregistre(bool ajout) override;
    void VideSaisie() override;

private:
    void LimiteTexte();
};

} // namespace oxi
