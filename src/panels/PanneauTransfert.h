#pragma once
#include "ImageBouton.h"
#include "frmImportContacts.h"

#include <QLineEdit>
#include <QPointer>
#include <functional>

class QFileDialog;

namespace oxi {

class SynchroAuto;
class frmSynchro;

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
    // Empties the panel, hides it and tells the window to show its home frame.
    void InitTransfert();

    void ChoisitDossierSauvegarde();
    void ValideSauvegarde();
    void ChoisitSauvegardeARestaurer();
    void ValideRestauration();
    void ImporteFichierContacts();
    void ExporteVersAgenda();
    void OuvreSynchronisation();

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
    // The tray program's exchanges, made on first call; unset or null when none runs
    // (the settings window then only keeps settings).
    std::function<SynchroAuto *()> synchro;

Q_SIGNALS:
    void termine();

private:
    QString m_sauvegarde;
    QPointer<frmSynchro> m_fenetreSynchro;
};

} // namespace oxi
