#include "PanneauTransfert.h"
#include "Base.h"
#include "Chemins.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "ModuleEchanges.h"
#include "Polices.h"
#include "Sauvegarde.h"
#include "Twips.h"
#include "frmSynchro.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QScreen>

namespace oxi {

namespace {

const QString Titre = QStringLiteral("Sélectionnez un répertoire");

// Busy pointer for the whole of a backup or restore, put back on every path.
class Sablier
{
public:
    Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sablier() { Fin(); }
    void Fin()
    {
        if (m_actif)
            QApplication::restoreOverrideCursor();
        m_actif = false;
    }

private:
    bool m_actif = true;
};

QLineEdit *Zone(QWidget *parent, const QString &nom, bool lectureSeule)
{
    auto *zone = new QLineEdit(parent);
    zone->setObjectName(nom);
    zone->setReadOnly(lectureSeule);
    zone->setFont(Police(QStringLiteral("Tahoma"), 8));
    return zone;
}

QLabel *Etiquette(QWidget *parent, const QString &nom, const QString &texte)
{
    auto *etiquette = new QLabel(texte, parent);
    etiquette->setObjectName(nom);
    etiquette->setFont(Police(QStringLiteral("Tahoma"), 8, true));
    return etiquette;
}

LienTexte *Lien(QWidget *parent, const QString &nom, const QString &texte, int gauche, int haut)
{
    auto *lien = new LienTexte(nom, texte, parent);
    lien->setFont(Police(QStringLiteral("Tahoma"), 8));
    lien->setStyleSheet(QStringLiteral("color: rgb(0, 0, 255);"));
    lien->setCursor(Qt::PointingHandCursor);
    PlaceTwips(lien, gauche, haut, 2400, 252);
    lien->adjustSize(); // the whole text, whatever the font's width
    return lien;
}

} // namespace

QFileDialog *PrepareNavigateur(const QString &depart, bool fichiers, bool centre, const QString &titre)
{
    // Qt's own dialog: the platform's cannot be placed, and it must look the same everywhere.
    auto *navigateur = new QFileDialog(nullptr, titre, depart);
    navigateur->setObjectName(QStringLiteral("navigateur"));
    navigateur->setOption(QFileDialog::DontUseNativeDialog);
    navigateur->setAcceptMode(QFileDialog::AcceptOpen);
    if (fichiers) {
        navigateur->setFileMode(QFileDialog::ExistingFile);
        navigateur->setNameFilter(QStringLiteral("Tous les fichiers (*)"));
    } else {
        navigateur->setFileMode(QFileDialog::Directory);
        navigateur->setOption(QFileDialog::ShowDirsOnly);
    }
    navigateur->setLabelText(QFileDialog::LookIn, QStringLiteral("Regarder dans :"));
    navigateur->setLabelText(QFileDialog::FileName, fichiers ? QStringLiteral("Fichier :") : QStringLiteral("Répertoire :"));
    navigateur->setLabelText(QFileDialog::FileType, QStringLiteral("Type :"));
    navigateur->setLabelText(QFileDialog::Accept, QStringLiteral("Choisir"));
    navigateur->setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
    navigateur->resize(Px(9600), Px(6000));
    if (centre) {
        if (const QScreen *ecran = QGuiApplication::primaryScreen()) {
            const QRect zone = ecran->geometry();
            navigateur->move(zone.x() + (zone.width() - navigateur->width()) / 2,
                             zone.y() + (zone.height() - navigateur->height()) / 2);
        }
    }
    return navigateur;
}

namespace {

// Shown, answered and deleted: the chosen path, empty when cancelled.
QString Choix(QFileDialog *navigateur)
{
    QString choix;
    if (navigateur->exec() == QDialog::Accepted && !navigateur->selectedFiles().isEmpty())
        choix = navigateur->selectedFiles().constFirst();
    delete navigateur;
    return choix;
}

} // namespace

QString ChoisitRepertoire(const QString &depart, bool fichiers, bool centre, const QString &titre)
{
    QFileDialog *navigateur = PrepareNavigateur(depart, fichiers, centre, titre);
    return Choix(navigateur);
}

QString ChoisitContacts(const QString &depart)
{
    QFileDialog *navigateur = PrepareNavigateur(depart, true, true, QStringLiteral("Importer des contacts"));
    navigateur->setNameFilters(
        {QStringLiteral("Carnets d'adresses (*.vcf *.vcard *.VCF)"), QStringLiteral("Tous les fichiers (*)")});
    return Choix(navigateur);
}

QString ChoisitAgenda(const QString &depart)
{
    QFileDialog *navigateur = PrepareNavigateur(depart, true, true, QStringLiteral("Exporter vers un agenda"));
    navigateur->setAcceptMode(QFileDialog::AcceptSave);
    navigateur->setFileMode(QFileDialog::AnyFile);
    navigateur->setNameFilter(QStringLiteral("Agendas iCalendar (*.ics)"));
    navigateur->setDefaultSuffix(QStringLiteral("ics"));
    navigateur->setLabelText(QFileDialog::Accept, QStringLiteral("Enregistrer"));
    navigateur->selectFile(QStringLiteral("Oxi.ics"));
    return Choix(navigateur);
}

PanneauTransfert::PanneauTransfert(QWidget *parent) : Cadre(QStringLiteral("fraTransfert"), parent)
{
    // Taller than the backup and restore alone: room for contacts in and calendars out.
    PlaceTwips(this, 1080, 360, 5412, 3300);

    Label2 = new QLabel(QStringLiteral("Transfert des données"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(Police(QStringLiteral("Berthold Garamond"), 14, true));
    Label2->setStyleSheet(QStringLiteral("color: rgb(0, 0, 128);"));
    PlaceTwips(Label2, 120, 0, 3720, 420);

    lblSauv = Etiquette(this, QStringLiteral("lblSauv"), QStringLiteral("Sauvegarde :"));
    PlaceTwips(lblSauv, 240, 600, 1800, 252);
    txtSauvName = Zone(this, QStringLiteral("txtSauvName"), false);
    PlaceTwips(txtSauvName, 240, 900, 2880, 300);
    TxtSauvDir = Zone(this, QStringLiteral("TxtSauvDir"), true);
    PlaceTwips(TxtSauvDir, 240, 1290, 4260, 300);
    imgSauvDir =
        CreePaire(this, QStringLiteral("imgSauvDir"), QStringLiteral(":/panels/transfert/imgSauvDir.svg"), 4620, 1296, 288, 288);
    imgTSValid =
        CreePaire(this, QStringLiteral("imgTSValid"), QStringLiteral(":/panels/transfert/imgTSValid.svg"), 5004, 1296, 288, 288);

    lblRestau = Etiquette(this, QStringLiteral("lblRestau"), QStringLiteral("Restauration :"));
    PlaceTwips(lblRestau, 240, 1920, 1800, 252);
    txtRestauName = Zone(this, QStringLiteral("txtRestauName"), true);
    PlaceTwips(txtRestauName, 240, 2220, 4260, 300);
    imgRestauDir = CreePaire(this, QStringLiteral("imgRestauDir"), QStringLiteral(":/panels/transfert/imgRestauDir.svg"), 4620,
                             2226, 288, 288);
    imgTValid =
        CreePaire(this, QStringLiteral("imgTValid"), QStringLiteral(":/panels/transfert/imgTValid.svg"), 5004, 2226, 288, 288);

    lblEchanges = Etiquette(this, QStringLiteral("lblEchanges"), QStringLiteral("Contacts et agendas :"));
    PlaceTwips(lblEchanges, 240, 2700, 3000, 252);
    lblImportContacts = Lien(this, QStringLiteral("lblImportContacts"), QStringLiteral("Importer des contacts"), 360, 3000);
    lblExportAgenda = Lien(this, QStringLiteral("lblExportAgenda"), QStringLiteral("Exporter vers un agenda"), 2760, 3000);
    lblImportContacts->setToolTip(QStringLiteral("Ajouter les anniversaires d'un carnet d'adresses (.vcf)"));
    lblExportAgenda->setToolTip(QStringLiteral("Écrire tous les rappels dans un fichier d'agenda (.ics)"));
    connect(lblImportContacts, &LienTexte::clic, this, &PanneauTransfert::ImporteFichierContacts);
    connect(lblExportAgenda, &LienTexte::clic, this, &PanneauTransfert::ExporteVersAgenda);
    lblSynchro = Lien(this, QStringLiteral("lblSynchro"), QStringLiteral("Synchronisation…"), 3720, 2700);
    lblSynchro->setToolTip(QStringLiteral("Échanger les rappels avec un agenda CalDAV"));
    connect(lblSynchro, &LienTexte::clic, this, &PanneauTransfert::OuvreSynchronisation);

    imgSauvDir.jumeau->setToolTip(QStringLiteral("Rechercher un répertoire"));
    imgTSValid.image->setToolTip(QStringLiteral("Valider"));
    imgTSValid.jumeau->setToolTip(QStringLiteral("Sauvegarder"));
    imgRestauDir.jumeau->setToolTip(QStringLiteral("Rechercher une sauvegarde"));
    imgTValid.image->setToolTip(QStringLiteral("Valider"));
    imgTValid.jumeau->setToolTip(QStringLiteral("Restaurer"));

    connect(imgSauvDir.jumeau, &Image::clic, this, &PanneauTransfert::ChoisitDossierSauvegarde);
    connect(imgTSValid.jumeau, &Image::clic, this, &PanneauTransfert::ValideSauvegarde);
    connect(imgRestauDir.jumeau, &Image::clic, this, &PanneauTransfert::ChoisitSauvegardeARestaurer);
    connect(imgTValid.jumeau, &Image::clic, this, &PanneauTransfert::ValideRestauration);
    // The pointer back on the panel puts out the highlights of its own buttons.
    connect(this, &Cadre::survol, this, [this] {
        for (const PaireImages *paire : {&imgSauvDir, &imgTSValid, &imgRestauDir, &imgTValid})
            paire->jumeau->hide();
    });
}

void PanneauTransfert::Initialise()
{
    txtRestauName->clear();
    m_sauvegarde.clear();
    txtSauvName->setText(NomSauvegardeDefaut(Aujourdhui()));
    TxtSauvDir->setText(CheminAppli());
}

void PanneauTransfert::InitTransfert()
{
    hide();
    Q_EMIT termine();
    txtRestauName->clear();
    txtSauvName->clear();
    TxtSauvDir->clear();
    m_sauvegarde.clear();
}

void PanneauTransfert::ChoisitDossierSauvegarde()
{
    imgSauvDir.jumeau->hide();
    TxtSauvDir->setText(choisit(CheminAppli(), false, true, Titre));
}

void PanneauTransfert::ChoisitSauvegardeARestaurer()
{
    imgRestauDir.jumeau->hide();
    m_sauvegarde = choisit(CheminAppli(), true, true, Titre);
    txtRestauName->setText(m_sauvegarde);
}

void PanneauTransfert::ValideSauvegarde()
{
    imgTSValid.jumeau->hide();
    const QString nom = txtSauvName->text().trimmed();
    if (nom.isEmpty()) {
        MsgInfo(QStringLiteral("Saisissez un nom de sauvegarde !"));
        return;
    }
    const QString dossier = TxtSauvDir->text().trimmed();
    if (dossier.isEmpty()) {
        MsgInfo(QStringLiteral("Sélectionnez un répertoire de destination !"));
        return;
    }
    if (nom.contains(QLatin1Char('/'))) {
        MsgInfo(QStringLiteral("Le nom de sauvegarde ne peut pas contenir le caractère « / » !"));
        return;
    }
    const QString chemin = CheminSauvegarde(dossier, NomFichierSauvegarde(nom));
    // Writing over the program's own database would lose its reference tables.
    if (EstBasePrincipale(chemin)) {
        MsgInfo(DeuxLignes(QStringLiteral("La sauvegarde ne peut pas remplacer la base de données d'Oxi."),
                           QStringLiteral("Choisissez un autre nom ou un autre répertoire.")));
        return;
    }
    if (EstNomCompaction(chemin)) {
        MsgInfo(DeuxLignes(QStringLiteral("Ce nom est réservé à Oxi dans ce répertoire."),
                           QStringLiteral("Choisissez un autre nom ou un autre répertoire.")));
        return;
    }
    Sablier sablier;
    const bool faite = SauvegardeBase(chemin);
    sablier.Fin();
    InitTransfert();
    if (faite)
        MsgInfo(DeuxLignes(QStringLiteral("Sauvegarde effectuée avec succès dans : "), chemin));
    else
        MsgInfo(QStringLiteral("Echec de la sauvegarde."));
}

void PanneauTransfert::ValideRestauration()
{
    imgTValid.jumeau->hide();
    if (m_sauvegarde.trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("Sélectionnez une sauvegarde !"));
        return;
    }
    Sablier sablier;
    const Restauration resultat = RestaureSauvegarde(m_sauvegarde);
    sablier.Fin();
    if (resultat == Restauration::Vide)
        MsgInfo(QStringLiteral("La sauvegarde est vide."));
    InitTransfert();
    if (resultat == Restauration::Faite)
        MsgInfo(QStringLiteral("Restauration effectuée avec succès "));
    else
        MsgInfo(QStringLiteral("Restauration annulée."));
}

void PanneauTransfert::ImporteFichierContacts()
{
    ModuleEchanges *module = ModuleEchangesOuMessage();
    if (!module)
        return;
    const QString chemin = choisitContacts(QDir::homePath());
    if (chemin.isEmpty())
        return;
    QFile fichier(chemin);
    if (!fichier.open(QIODevice::ReadOnly)) {
        MsgInfo(DeuxLignes(QStringLiteral("Impossible de lire le fichier :"), chemin));
        return;
    }
    const QVector<FicheContact> fiches = module->LitFichesContacts(fichier.readAll());
    if (fiches.isEmpty()) {
        MsgInfo(DeuxLignes(QStringLiteral("Ce fichier ne contient aucune fiche de contact :"), chemin));
        return;
    }
    try {
        const PlanImport plan = module->PrepareImport(fiches);
        const std::optional<ChoixImport> choix = confirmeImport(plan);
        if (!choix)
            return;
        Sablier sablier;
        const int fetes = module->ImporteContacts(plan, choix->echeances, choix->fetes);
        sablier.Fin();
        QString bilan = TexteBilan(plan) + QLatin1Char('.');
        if (choix->fetes)
            bilan += QStringLiteral("\n%1 fête(s) ajoutée(s).").arg(fetes);
        MsgInfo(DeuxLignes(QStringLiteral("Import terminé :"), bilan));
    } catch (const ErreurBase &) {
        MsgInfo(DeuxLignes(QStringLiteral("Erreur lors de l'ajout en base !"), QStringLiteral("Aucun contact n'a été importé.")));
    }
}

void PanneauTransfert::ExporteVersAgenda()
{
    ModuleEchanges *module = ModuleEchangesOuMessage();
    if (!module)
        return;
    const QString chemin = choisitAgenda(QDir::homePath());
    if (chemin.isEmpty())
        return;
    Sablier sablier;
    QString erreur;
    const int nombre = module->ExporteAgenda(chemin, &erreur);
    sablier.Fin();
    if (nombre < 0)
        MsgInfo(DeuxLignes(QStringLiteral("Echec de l'export."), erreur));
    else
        MsgInfo(DeuxLignes(QStringLiteral("%1 rappel(s) exporté(s) avec succès dans : ").arg(nombre), chemin));
}

void PanneauTransfert::OuvreSynchronisation()
{
    // One window, raised again when asked twice.
    if (!m_fenetreSynchro) {
        if (!ModuleEchangesOuMessage())
            return;
        m_fenetreSynchro = new frmSynchro(synchro ? synchro() : nullptr);
        m_fenetreSynchro->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_fenetreSynchro->show();
    m_fenetreSynchro->raise();
    m_fenetreSynchro->activateWindow();
}

} // namespace oxi
