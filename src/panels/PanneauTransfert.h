#pragma once
#include "ImageBouton.h"
#include "frmImportContacts.h"

#include <QLineEdit>
#include <functional>

class QFileDialog;

namespace oxi {

// The chooser of a folder (or, with `fichiers`, of a file) starting in
// `depart`, with its title, centred on the screen when asked.
QFileDialog *PrepareNavigateur(const QString &depart, bool fichiers, bool centre, const QString &titre);
// Shows it and gives the chosen path, or empty text when cancelled.
QString ChoisitRepertoire(const QString &depart, bool fichiers, bool centre, const QString &titre);
// The contact file to read (.vcf) and the calendar file to write (.ics), or empty text when cancelled.
QString ChoisitContacts(const QString &depart);
QString ChoisitAgenda(const QString &depart);

// The transfer panel of the main window (fraTransfert): backup of the
// personal data to a file of the user's choice, and restore from one.
class PanneauTransfert : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauTransfert(QWidget *parent);

    // Defaults set each time the panel opens: today's name, the program's folder.
    void Initialise();
    // Empties the panel and goes back to the home frame.
    void InitTransfert();

    void imgSauvDir2_Click();
    void imgTSValid2_Click();
    void imgRestauDir2_Click();
    void imgTValid2_Click();
    void lblImportContacts_Click();
    void lblExportAgenda_Click();
    void lblSynchro_Click();

    // The chooser behind the two browse buttons, replaceable for tests.
    std::function<QString(const QString &, bool, bool, const QString &)> choisit = ChoisitRepertoire;

    // The same for contacts in and calendars out, and the import's confirmation.
    std::function<QString(const QString &)> choisitContacts = ChoisitContacts;
    std::function<QString(const QString &)> choisitAgenda = ChoisitAgenda;
    std::function<std::optional<ChoixImport>(const PlanImport &)> confirmeImport = ConfirmeImport;

    QLabel *Label2 = nullptr;
    QLabel *lblSauv = nullptr;
    QLineEdit *txtSauvName = nullptr;
    QLineEdit *TxtSauvDir = nullptr;
    PaireImages imgSauvDir;
    PaireImages imgTSValid;
    QLabel *lblRestau = nullptr;
    QLineEdit *txtRestauName = nullptr;
    PaireImages imgRestauDir;
    PaireImages imgTValid;
    QLabel *lblEchanges = nullptr;
    LienTexte *lblImportContacts = nullptr;
    LienTexte *lblExportAgenda = nullptr;
    LienTexte *lblSynchro = nullptr;

private:
    QString m_sauvegarde;
};

} // namespace oxi
