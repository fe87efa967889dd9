#include "frmImportContacts.h"
#include "Constantes.h"
#include "Polices.h"
#include "TypesEchanges.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace oxi {

namespace {

QComboBox *ListeDelais(QWidget *parent, const QString &nom)
{
    auto *liste = new QComboBox(parent);
    liste->setObjectName(nom);
    liste->addItems(ItemsDelai());
    liste->setFont(Police(QStringLiteral("Tahoma"), 8));
    liste->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return liste;
}

} // namespace

frmImportContacts::frmImportContacts(const PlanImport &plan, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImportContacts"));
    setWindowTitle(TitreAppli + QStringLiteral(" - Importer des contacts"));
    const QFont texte = Police(QStringLiteral("Tahoma"), 8);
    const QFont gras = Police(QStringLiteral("Tahoma"), 8, true);

    auto *titre = new QLabel(QStringLiteral("Importer des contacts"), this);
    titre->setFont(Police(QStringLiteral("Berthold Garamond"), 14, true));
    titre->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));

    lblBilan = new QLabel(TexteBilan(plan).replace(QStringLiteral(", "), QStringLiteral(",\n")) + QLatin1Char('.'), this);
    lblBilan->setObjectName(QStringLiteral("lblBilan"));
    lblBilan->setFont(texte);

    auto *lblRappels = new QLabel(QStringLiteral("Rappels de chaque anniversaire :"), this);
    lblRappels->setFont(gras);
    chkImportJ1 = new QCheckBox(QStringLiteral("Le jour-même"), this);
    chkImportJ1->setObjectName(QStringLiteral("chkImportJ1"));
    chkImportJ1->setFont(texte);
    chkImportJ1->setChecked(true);
    cboImportJ1 = ListeDelais(this, QStringLiteral("cboImportJ1"));
    cboImportJ2 = ListeDelais(this, QStringLiteral("cboImportJ2"));
    auto *delais = new QHBoxLayout;
    delais->addWidget(chkImportJ1);
    delais->addWidget(cboImportJ1);
    delais->addWidget(cboImportJ2);
    delais->addStretch();

    chkImportFetes = new QCheckBox(
        QStringLiteral("Ajouter aussi la fête des prénoms trouvés dans le calendrier (%1)").arg(plan.fetes.size()), this);
    chkImportFetes->setObjectName(QStringLiteral("chkImportFetes"));
    chkImportFetes->setFont(texte);
    chkImportFetes->setEnabled(!plan.fetes.isEmpty());
    chkImportFetes->setToolTip(plan.fetes.join(QStringLiteral(", ")));

    cmdImporter = new QPushButton(QStringLiteral("&Importer"), this);
    cmdImporter->setObjectName(QStringLiteral("cmdImporter"));
    cmdImporter->setEnabled(!plan.aAjouter.isEmpty());
    cmdImporter->setDefault(true);
    cmdAnnuler = new QPushButton(QStringLiteral("&Annuler"), this);
    cmdAnnuler->setObjectName(QStringLiteral("cmdAnnuler"));
    auto *boutons = new QDialogButtonBox(this);
    boutons->addButton(cmdImporter, QDialogButtonBox::AcceptRole);
    boutons->addButton(cmdAnnuler, QDialogButtonBox::RejectRole);
    connect(boutons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *page = new QVBoxLayout(this);
    page->addWidget(titre);
    page->addWidget(lblBilan);
    page->addSpacing(8);
    page->addWidget(lblRappels);
    page->addLayout(delais);
    page->addWidget(chkImportFetes);
    page->addSpacing(8);
    page->addWidget(boutons);
    page->setSizeConstraint(QLayout::SetFixedSize);
}

ChoixImport frmImportContacts::Choix() const
{
    return {{chkImportJ1->isChecked(), LitDelai(cboImportJ1->currentText()), LitDelai(cboImportJ2->currentText())},
            chkImportFetes->isEnabled() && chkImportFetes->isChecked()};
}

std::optional<ChoixImport> ConfirmeImport(const PlanImport &plan)
{
    frmImportContacts fenetre(plan);
    if (fenetre.exec() != QDialog::Accepted)
        return std::nullopt;
    return fenetre.Choix();
}

} // namespace oxi
