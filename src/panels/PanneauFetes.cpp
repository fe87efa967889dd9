#include "PanneauFetes.h"

#include "Base.h"
#include "Constantes.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Polices.h"
#include "Saisie.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace oxi {

namespace {

QComboBox *CreeListe(QWidget *parent, const QString &nom, int gauche, int haut, int largeur)
{
    auto *liste = new QComboBox(parent);
    liste->setObjectName(nom);
    liste->setEditable(true);
    liste->setInsertPolicy(QComboBox::NoInsert);
    PlaceTwips(liste, gauche, haut, largeur, 315);
    return liste;
}

} // namespace

PanneauFetes::PanneauFetes(QWidget *parent) : Cadre(QStringLiteral("fraFetes"), parent)
{
    PlaceTwips(this, 1080, 360, 5412, 2772);
    setFont(Police(QStringLiteral("Tahoma"), 8));
    lblTitre3 = CreeTitre(this, QStringLiteral("lblTitre3"), QStringLiteral("Fêtes"));

    ListView1 = new ListeRappels(QStringLiteral("ListView1"), {QStringLiteral("Prénom"), QStringLiteral("Date")}, this);
    PlaceTwips(ListView1, 120, 690, 4560, 1980);
    ListView1->setColumnWidth(0, Px(2520));
    TriFP = CreeBoutonTri(this, QStringLiteral("TriFP"), QStringLiteral(":/panels/tritexte.svg"), 2370, 420,
                          [this] { TrieListeFetes(1); });
    TriFD = CreeBoutonTri(this, QStringLiteral("TriFD"), QStringLiteral(":/panels/tridate.svg"), 4410, 420,
                          [this] { TrieListeFetes(3); });
    imgAFetes = CreeBouton(this, QStringLiteral("imgAFetes"), QStringLiteral(":/panels/ajouter.svg"),
                           QStringLiteral("Ajouter"), 4860, 690, [this] { imgAFetes2_Click(); });
    imgMFetes = CreeBouton(this, QStringLiteral("imgMFetes"), QStringLiteral(":/panels/modifier.svg"),
                           QStringLiteral("Modifier"), 4860, 1230, [this] { imgMFetes2_Click(); });
    imgSFetes = CreeBouton(this, QStringLiteral("imgSFetes"), QStringLiteral(":/panels/supprimer.svg"),
                           QStringLiteral("Supprimer"), 4860, 1770, [this] { imgSFetes2_Click(); });

    cboFetes = CreeListe(this, QStringLiteral("cboFetes"), 120, 690, 3840);
    cboFetes->setMaxVisibleItems(15);
    lblEch = CreeEtiquette(this, QStringLiteral("lblEch"), QStringLiteral("Echéances de rappel :"), 120, 1275, 1860);
    chkFJ1 = new QCheckBox(QStringLiteral("Le jour-même"), this);
    chkFJ1->setObjectName(QStringLiteral("chkFJ1"));
    chkFJ1->setChecked(true);
    PlaceTwips(chkFJ1, 1980, 1245, 1800, 315);
    cboFeteJ1 = CreeListe(this, QStringLiteral("cboFeteJ1"), 1980, 1650, 1260);
    cboFeteJ2 = CreeListe(this, QStringLiteral("cboFeteJ2"), 3360, 1650, 1260);
    imgFValid = CreeBouton(this, QStringLiteral("imgFValid"), QStringLiteral(":/panels/valider.svg"),
                           QStringLiteral("Valider"), 4860, 690, [this] { imgFValid2_Click(); });
    imgFAnnul = CreeBouton(this, QStringLiteral("imgFAnnul"), QStringLiteral(":/panels/annuler.svg"),
                           QStringLiteral("Annuler"), 4860, 1230, [this] { imgFAnnul2_Click(); });

    connect(ListView1, &ListeRappels::toucheSuppr, this, &PanneauFetes::imgSFetes2_Click);
    connect(ListView1, &ListeRappels::doubleClic, this, &PanneauFetes::imgMFetes2_Click);
    connect(ListView1, &ListeRappels::survol, this, [this] {
        TriFP.jumeau->hide();
        TriFD.jumeau->hide();
    });
    connect(this, &Cadre::survol, this, [this] {
        for (const PaireImages &paire : {imgFValid, imgFAnnul, imgAFetes, imgMFetes, imgSFetes, TriFP, TriFD})
            paire.jumeau->hide();
    });
    GereAfficheFete(true);
}

void PanneauFetes::Ouvre()
{
    GereAfficheFete(true);
    RemplitListeFetes();
}

void PanneauFetes::GereAfficheFete(bool val)
{
    for (QWidget *w : std::initializer_list<QWidget *>{ListView1, imgAFetes.image, imgSFetes.image, imgMFetes.image,
                                                       TriFP.image, TriFD.image})
        w->setVisible(val);
    cboFetes->setEnabled(!val);
    cboFetes->setVisible(!val);
    for (QWidget *w : std::initializer_list<QWidget *>{lblEch, cboFeteJ1, cboFeteJ2, chkFJ1, imgFAnnul.image,
                                                       imgFValid.image})
        w->setVisible(!val);
}

void PanneauFetes::AfficheListe()
{
    ListView1->Remplit(TabFetes(), [](const LigneTableau &ligne) {
        return QStringList{ligne.Colonne(1), ligne.Colonne(2)};
    });
}

void PanneauFetes::RemplitListeFetes()
{
    try {
        RemplitTabFetes();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors du remplissage de la liste des fêtes !"));
        return;
    }
    AfficheListe();
}

void PanneauFetes::TrieListeFetes(int colonne)
{
    TrieTableau(TabFetes(), colonne);
    AfficheListe();
}

void PanneauFetes::RemplitEcheancesFete()
{
    for (QComboBox *liste : {cboFeteJ1, cboFeteJ2})
        if (liste->count() == 0)
            liste->addItems(ItemsDelai());
}

std::optional<std::pair<SaisieFete, ChoixEcheances>> PanneauFetes::LitSaisieFete()
{
    const std::optional<SaisieFete> fete = LitTexteFete(cboFetes->currentText());
    const std::optional<int> delai1 = LitDelaiSaisi(cboFeteJ1->currentText());
    const std::optional<int> delai2 = LitDelaiSaisi(cboFeteJ2->currentText());
    if (!fete || !delai1 || !delai2) {
        MsgInfo(QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        return std::nullopt;
    }
    return std::pair{*fete, ChoixEcheances{chkFJ1->isChecked(), *delai1, *delai2}};
}

void PanneauFetes::FermeSaisie()
{
    chkFJ1->setChecked(true);
    for (QComboBox *liste : {cboFeteJ1, cboFeteJ2})
        if (liste->count() > 0)
            liste->setCurrentIndex(0);
    cboFetes->setCurrentIndex(-1);
    cboFetes->setEditText(QString());
    FinitSaisie();
    GereAfficheFete(true);
}

void PanneauFetes::imgAFetes2_Click()
{
    imgAFetes.jumeau->hide();
    try {
        DebuteSaisie(QStringLiteral("A"));
        GereAfficheFete(false);
        if (cboFetes->count() == 0) {
            try {
                ChargeListeFetes();
            } catch (const ErreurBase &) {
                MsgInfo(QStringLiteral("Erreur lors du chargement de la liste des fêtes !"));
            }
            cboFetes->addItems(ItemsFetes());
            cboFetes->setCurrentIndex(-1);
            cboFetes->setEditText(QString());
        }
        RemplitEcheancesFete();
        cboFeteJ1->setCurrentIndex(0);
        cboFeteJ2->setCurrentIndex(0);
        cboFetes->setFocus();
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible d'ajouter !"));
        FinitSaisie();
        GereAfficheFete(true);
    }
}

void PanneauFetes::imgFValid2_Click()
{
    imgFValid.jumeau->hide();
    const QString mode = ModeSaisie();
    if (mode == QLatin1String("A")) {
        if (cboFetes->currentText().trimmed().isEmpty()) {
            MsgInfo(QStringLiteral("Choisissez un prénom ou annulez."));
            return;
        }
        try {
            const auto saisie = LitSaisieFete();
            if (!saisie)
                return;
            try {
                AjouteFete(saisie->first, saisie->second);
            } catch (const ErreurBase &) {
                MsgInfo(QStringLiteral("Erreur lors de l'ajout en base !"));
            }
            RemplitListeFetes();
        } catch (const std::exception &) {
            MsgInfo(QStringLiteral("Erreur: impossible d'ajouter un prénom à la liste !"));
        }
    } else if (mode == QLatin1String("M")) {
        const auto saisie = LitSaisieFete();
        if (!saisie)
            return;
        try {
            ModifieFete(m_numRappel, saisie->first, saisie->second);
        } catch (const ErreurBase &) {
            MsgInfo(QStringLiteral("Erreur lors de l'ajout en base !"));
        }
        RemplitListeFetes();
    }
    FermeSaisie();
}

void PanneauFetes::imgFAnnul2_Click()
{
    imgFAnnul.jumeau->hide();
    FermeSaisie();
}

void PanneauFetes::imgMFetes2_Click()
{
    imgMFetes.jumeau->hide();
    if (ListView1->Vide())
        return;
    const int numero = ListView1->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Pour modifier, sélectionnez un prénom. "));
        return;
    }
    try {
        DebuteSaisie(QStringLiteral("M"));
        GereAfficheFete(false);
        // The first name cannot change: delete and add another instead.
        cboFetes->setEnabled(false);
        RemplitEcheancesFete();
        cboFeteJ1->setCurrentIndex(0);
        cboFeteJ2->setCurrentIndex(0);
        const QTreeWidgetItem *ligne = ListView1->selectedItems().first();
        // Emptied so that the next Ajouter reloads the names.
        cboFetes->clear();
        cboFetes->setEditText(ligne->text(0) + QStringLiteral(" - ") + ligne->text(1));

        const std::optional<RappelStocke> rappel = LitRappel(numero, QStringLiteral("F"));
        if (!rappel)
            throw ErreurBase(QStringLiteral("fête introuvable"));
        m_numRappel = rappel->numRappel;
        chkFJ1->setChecked(rappel->echeances[1].date != DateNulle);
        cboFeteJ1->setCurrentIndex(RetrouveDelai(rappel->dateRappel, rappel->echeances[2].date));
        cboFeteJ2->setCurrentIndex(RetrouveDelai(rappel->dateRappel, rappel->echeances[3].date));
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible de modifier !"));
        FinitSaisie();
        GereAfficheFete(true);
        cboFetes->setEnabled(true);
    }
}

void PanneauFetes::imgSFetes2_Click()
{
    imgSFetes.jumeau->hide();
    if (ListView1->Vide())
        return;
    const int numero = ListView1->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Sélectionnez le prénom à supprimer. "));
        return;
    }
    if (!MsgQuestion(QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel de fête ?")))
        return;
    try {
        if (!SupprimeRappel(numero, QStringLiteral("F")))
            MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
    }
    RemplitListeFetes();
}

} // namespace oxi
