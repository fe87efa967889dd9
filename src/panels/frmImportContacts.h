#pragma once
#include "Echeances.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace oxi {

struct PlanImport;

// What the user decides before an import of contacts is written.
struct ChoixImport
{
    ChoixEcheances echeances;
    bool fetes = false;
};

// Shows the counts of an import and asks for the lead times of every new
// birthday and whether to add the name days; nothing is written here.
class frmImportContacts : public QDialog
{
    Q_OBJECT
public:
    frmImportContacts(const PlanImport &plan, QWidget *parent = nullptr);
    ChoixImport Choix() const;

    QLabel *lblBilan = nullptr;
    QCheckBox *chkImportJ1 = nullptr;
    QComboBox *cboImportJ1 = nullptr;
    QComboBox *cboImportJ2 = nullptr;
    QCheckBox *chkImportFetes = nullptr;
    QPushButton *cmdImporter = nullptr;
    QPushButton *cmdAnnuler = nullptr;
};

// The dialog run modally: the choices, or nothing when cancelled.
std::optional<ChoixImport> ConfirmeImport(const PlanImport &plan);

} // namespace oxi
