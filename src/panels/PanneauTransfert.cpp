#include "PanneauTransfert.h"
#include "Chemins.h"
#include "Horloge.h"
#include "Messagerie.h"
#include "Polices.h"
#include "Sauvegarde.h"
#include "Twips.h"

#include <QApplication>
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

QString ChoisitRepertoire(const QString &depart, bool fichiers, bool centre, const QString &titre)
{
    QFileDialog *navigateur = PrepareNavigateur(depart, fichiers, centre, titre);
    QString choix;
    if (navigateur->exec() == QDialog::Accepted && !navigateur->selectedFiles().isEmpty())
        choix = navigateur->selectedFiles().constFirst();
    delete navigateur;
    return choix;
}

PanneauTransfert::PanneauTransfert(QWidget *parent) : Cadre(QStringLiteral("fraTransfert"), parent)
{
    PlaceTwips(this, 1080, 360, 5412, 2772);

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
    imgSauvDir = CreePaire(this, QStringLiteral("imgSauvDir"), QStringLiteral(":/panels/transfert/imgSauvDir.svg"),
                           4620, 1296, 288, 288);
    imgTSValid = CreePaire(this, QStringLiteral("imgTSValid"), QStringLiteral(":/panels/transfert/imgTSValid.svg"),
                           5004, 1296, 288, 288);

    lblRestau = Etiquette(this, QStringLiteral("lblRestau"), QStringLiteral("Restauration :"));
    PlaceTwips(lblRestau, 240, 1920, 1800, 252);
    txtRestauName = Zone(this, QStringLiteral("txtRestauName"), true);
    PlaceTwips(txtRestauName, 240, 2220, 4260, 300);
    imgRestauDir = CreePaire(this, QStringLiteral("imgRestauDir"),
                             QStringLiteral(":/panels/transfert/imgRestauDir.svg"), 4620, 2226, 288, 288);
    imgTValid = CreePaire(this, QStringLiteral("imgTValid"), QStringLiteral(":/panels/transfert/imgTValid.svg"),
                          5004, 2226, 288, 288);

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

} // namespace oxi
