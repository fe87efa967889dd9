#include "PanneauAnniv.h"

#include "Base.h"
#include "Constantes.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Polices.h"
#include "Saisie.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace oxi {

namespace {

QComboBox *CreeListe(QWidget *parent, const QString &nom, int gauche, int haut, int largeur)
{
    auto *liste = new QComboBox(parent);
    liste->setObjectName(nom);
    liste->setEditable(true);
    liste->setInsertPolicy(QComboBox::NoInsert);
    liste->setMaxVisibleItems(12);
    PlaceTwips(liste, gauche, haut, largeur, 315);
    return liste;
}

} // namespace

PanneauAnniv::PanneauAnniv(QWidget *parent) : Cadre(QStringLiteral("fraAnniv"), parent)
{
    PlaceTwips(this, 1080, 360, 5412, 2772);
    setFont(Police(QStringLiteral("Tahoma"), 8));
    lblTitre4 = CreeTitre(this, QStringLiteral("lblTitre4"), QStringLiteral("Anniversaires"));

    ListView2 = new ListeRappels(QStringLiteral("ListView2"),
                                 {QStringLiteral("Prenom"), QStringLiteral("Nom"), QStringLiteral("Date")}, this);
    PlaceTwips(ListView2, 120, 690, 4560, 1980);
    ListView2->setColumnWidth(0, Px(1380));
    ListView2->setColumnWidth(1, Px(1380));
    TriAP = CreeBoutonTri(this, QStringLiteral("TriAP"), QStringLiteral(":/panels/tritexte.svg"), 1230, 420,
                          [this] { TrieListeAnniv(2); });
    TriAN = CreeBoutonTri(this, QStringLiteral("TriAN"), QStringLiteral(":/panels/tritexte.svg"), 2610, 420,
                          [this] { TrieListeAnniv(1); });
    TriAD = CreeBoutonTri(this, QStringLiteral("TriAD"), QStringLiteral(":/panels/tridate.svg"), 4410, 420,
                          [this] { TrieListeAnniv(4); });
    imgAAnniv = CreeBouton(this, QStringLiteral("imgAAnniv"), QStringLiteral(":/panels/ajouter.svg"),
                           QStringLiteral("Ajouter"), 4860, 690, [this] { imgAAnniv2_Click(); });
    imgMAnniv = CreeBouton(this, QStringLiteral("imgMAnniv"), QStringLiteral(":/panels/modifier.svg"),
                           QStringLiteral("Modifier"), 4860, 1230, [this] { imgMAnniv2_Click(); });
    imgSAnniv = CreeBouton(this, QStringLiteral("imgSAnniv"), QStringLiteral(":/panels/supprimer.svg"),
                           QStringLiteral("Supprimer"), 4860, 1770, [this] { imgSAnniv2_Click(); });

    lblPrenomAnniv = CreeEtiquette(this, QStringLiteral("lblPrenomAnniv"), QStringLiteral("Prénom :"), 120, 540, 1800);
    txtPrenomAnniv = new QLineEdit(this);
    txtPrenomAnniv->setObjectName(QStringLiteral("txtPrenomAnniv"));
    PlaceTwips(txtPrenomAnniv, 1980, 510, 2640, 315);
    lblNomAnniv = CreeEtiquette(this, QStringLiteral("lblNomAnniv"), QStringLiteral("Nom :"), 120, 930, 1800);
    txtNomAnniv = new QLineEdit(this);
    txtNomAnniv->setObjectName(QStringLiteral("txtNomAnniv"));
    PlaceTwips(txtNomAnniv, 1980, 900, 2640, 315);
    lblDateNaiss =
        CreeEtiquette(this, QStringLiteral("lblDateNaiss"), QStringLiteral("Date de naissance :"), 120, 1320, 1860);
    cboAnnivJ = CreeListe(this, QStringLiteral("cboAnnivJ"), 1980, 1290, 660);
    cboAnnivM = CreeListe(this, QStringLiteral("cboAnnivM"), 2700, 1290, 1140);
    cboAnnivA = CreeListe(this, QStringLiteral("cboAnnivA"), 3900, 1290, 720);
    lblEch2 = CreeEtiquette(this, QStringLiteral("lblEch2"), QStringLiteral("Echéances de rappel :"), 120, 1785, 1860);
    chkAJ1 = new QCheckBox(QStringLiteral("Le jour-même"), this);
    chkAJ1->setObjectName(QStringLiteral("chkAJ1"));
    chkAJ1->setChecked(true);
    PlaceTwips(chkAJ1, 1980, 1755, 1800, 315);
    cboAnnivJ1 = CreeListe(this, QStringLiteral("cboAnnivJ1"), 1980, 2160, 1260);
    cboAnnivJ2 = CreeListe(this, QStringLiteral("cboAnnivJ2"), 3360, 2160, 1260);
    imgAValid = CreeBouton(this, QStringLiteral("imgAValid"), QStringLiteral(":/panels/valider.svg"),
                           QStringLiteral("Valider"), 4860, 690, [this] { imgAVAlid2_Click(); },
                           QStringLiteral("imgAVAlid2"));
    imgAAnnul = CreeBouton(this, QStringLiteral("imgAAnnul"), QStringLiteral(":/panels/annuler.svg"),
                           QStringLiteral("Annuler"), 4860, 1230, [this] { imgAAnnul2_Click(); });

    connect(ListView2, &ListeRappels::toucheSuppr, this, &PanneauAnniv::imgSAnniv2_Click);
    connect(ListView2, &ListeRappels::doubleClic, this, &PanneauAnniv::imgMAnniv2_Click);
    connect(ListView2, &ListeRappels::survol, this, [this] {
        for (const PaireImages &tri : {TriAD, TriAN, TriAP})
            tri.jumeau->hide();
    });
    connect(this, &Cadre::survol, this, [this] {
        for (const PaireImages &paire : {imgAAnniv, imgMAnniv, imgSAnniv, imgAAnnul, imgAValid, TriAD, TriAN, TriAP})
            paire.jumeau->hide();
    });
    GereAfficheAnniv(true);
}

void PanneauAnniv::Ouvre()
{
    GereAfficheAnniv(true);
    RemplitListeAnniv();
}

void PanneauAnniv::GereAfficheAnniv(bool val)
{
    for (QWidget *w : std::initializer_list<QWidget *>{ListView2, imgAAnniv.image, imgSAnniv.image, imgMAnniv.image,
                                                       TriAP.image, TriAN.image, TriAD.image})
        w->setVisible(val);
    for (QWidget *w : std::initializer_list<QWidget *>{txtNomAnniv, lblNomAnniv, txtPrenomAnniv, lblPrenomAnniv,
                                                       lblDateNaiss, cboAnnivJ, cboAnnivM, cboAnnivA, lblEch2,
                                                       cboAnnivJ1, cboAnnivJ2, chkAJ1, imgAAnnul.image,
                                                       imgAValid.image})
        w->setVisible(!val);
}

void PanneauAnniv::AfficheListe()
{
    ListView2->Remplit(TabAnniv(), [](const LigneTableau &ligne) {
        return QStringList{ligne.Colonne(2), ligne.Colonne(1),
                           TexteAnniversaire(QDate::fromString(ligne.Colonne(3), Qt::ISODate))};
    });
}

void PanneauAnniv::RemplitListeAnniv()
{
    try {
        RemplitTabAnniv();
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors du remplissage de la liste des anniversaires !"));
        return;
    }
    AfficheListe();
}

void PanneauAnniv::TrieListeAnniv(int colonne)
{
    TrieTableau(TabAnniv(), colonne);
    AfficheListe();
}

void PanneauAnniv::RemplitDatesAnniv()
{
    if (cboAnnivJ->count() > 0)
        return;
    for (int j = 1; j <= 31; ++j)
        cboAnnivJ->addItem(QString::number(j));
    for (int m = 1; m <= 12; ++m)
        cboAnnivM->addItem(NomMois(m));
    cboAnnivA->addItem(QStringLiteral("?"));
    for (int a = 1871; a <= Aujourdhui().year(); ++a)
        cboAnnivA->addItem(QString::number(a));
    // Filled once per run; at the first entry no date is chosen yet.
    for (QComboBox *liste : {cboAnnivJ, cboAnnivM, cboAnnivA})
        liste->setCurrentIndex(-1);
}

void PanneauAnniv::RemplitEcheancesAnniv()
{
    for (QComboBox *liste : {cboAnnivJ1, cboAnnivJ2})
        if (liste->count() == 0)
            liste->addItems(ItemsDelai());
}

bool PanneauAnniv::RechercheDateAnniv()
{
    bool resultat = true;
    const QString jour = cboAnnivJ->currentText().trimmed();
    if (jour.isEmpty()) {
        cboAnnivJ->setCurrentIndex(-1);
    } else {
        bool ok = false;
        const int n = jour.toInt(&ok);
        if (!ok || n < 0 || n > 31 || n > cboAnnivJ->count())
            return false;
        cboAnnivJ->setCurrentIndex(n - 1);
    }

    const QString mois = cboAnnivM->currentText().trimmed();
    if (mois.isEmpty()) {
        resultat = false;
    } else {
        int trouve = -1;
        for (int i = 0; i < cboAnnivM->count() && trouve < 0; ++i)
            if (cboAnnivM->itemText(i).toUpper() == mois.toUpper())
                trouve = i;
        if (trouve < 0)
            resultat = false;
        cboAnnivM->setCurrentIndex(trouve < 0 ? cboAnnivM->count() - 1 : trouve);
    }

    const QString annee = cboAnnivA->currentText().trimmed();
    if (annee.isEmpty()) {
        cboAnnivA->setCurrentIndex(-1);
    } else {
        const int trouve = cboAnnivA->findText(annee, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (trouve < 0)
            resultat = false;
        cboAnnivA->setCurrentIndex(trouve < 0 ? cboAnnivA->count() - 1 : trouve);
    }
    return resultat;
}

std::optional<Anniversaire> PanneauAnniv::LitSaisieAnniv()
{
    Anniversaire anniv;
    anniv.nom = txtNomAnniv->text().trimmed();
    anniv.prenom = txtPrenomAnniv->text().trimmed();
    bool okJour = false;
    anniv.jour = cboAnnivJ->currentText().trimmed().toInt(&okJour);
    anniv.mois = cboAnnivM->currentIndex() + 1;
    anniv.annee = cboAnnivA->currentIndex() <= 0 ? AnneeInconnue : cboAnnivA->currentText().toInt();
    const std::optional<int> delai1 = LitDelaiSaisi(cboAnnivJ1->currentText());
    const std::optional<int> delai2 = LitDelaiSaisi(cboAnnivJ2->currentText());
    if (!okJour || anniv.jour < 1 || anniv.mois < 1 || !anniv.DateRappel().isValid() || !delai1 || !delai2) {
        MsgInfo(QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        return std::nullopt;
    }
    anniv.choix = {chkAJ1->isChecked(), *delai1, *delai2};
    return anniv;
}

void PanneauAnniv::FermeSaisie()
{
    chkAJ1->setChecked(true);
    for (QComboBox *liste : {cboAnnivJ1, cboAnnivJ2, cboAnnivJ, cboAnnivM, cboAnnivA})
        if (liste->count() > 0)
            liste->setCurrentIndex(0);
    txtNomAnniv->clear();
    txtPrenomAnniv->clear();
    FinitSaisie();
    GereAfficheAnniv(true);
}

void PanneauAnniv::imgAAnniv2_Click()
{
    imgAAnniv.jumeau->hide();
    try {
        DebuteSaisie(QStringLiteral("A"));
        GereAfficheAnniv(false);
        RemplitDatesAnniv();
        RemplitEcheancesAnniv();
        cboAnnivJ1->setCurrentIndex(0);
        cboAnnivJ2->setCurrentIndex(0);
        txtPrenomAnniv->setFocus();
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible d'ajouter !"));
        FinitSaisie();
        GereAfficheAnniv(true);
    }
}

void PanneauAnniv::imgAVAlid2_Click()
{
    imgAValid.jumeau->hide();
    const QString mode = ModeSaisie();
    if (mode == QLatin1String("A")) {
        try {
            if (txtNomAnniv->text().trimmed().isEmpty() && txtPrenomAnniv->text().trimmed().isEmpty()) {
                MsgInfo(QStringLiteral("Ecrivez le nom d'une personne ou annulez."));
                return;
            }
            if (!RechercheDateAnniv()) {
                MsgInfo(QStringLiteral("Date invalide !"));
                return;
            }
            if (cboAnnivJ->currentIndex() < 0 || cboAnnivM->currentIndex() < 0) {
                MsgInfo(QStringLiteral("Choisissez la date de naissance ou annulez."));
                return;
            }
            const std::optional<Anniversaire> anniv = LitSaisieAnniv();
            if (!anniv)
                return;
            if (ExisteAnniversaire(*anniv) != 0) {
                MsgInfo(QStringLiteral("Cet anniversaire existe déjà !"));
                return;
            }
            try {
                AjouteAnniversaire(*anniv);
            } catch (const ErreurBase &) {
                MsgInfo(QStringLiteral("Erreur lors de l'ajout en base !"));
            }
            RemplitListeAnniv();
        } catch (const std::exception &) {
            MsgInfo(QStringLiteral("Erreur: impossible d'ajouter un prénom à la liste !"));
        }
    } else if (mode == QLatin1String("M")) {
        if (!RechercheDateAnniv()) {
            MsgInfo(QStringLiteral("Date invalide !"));
            return;
        }
        const std::optional<Anniversaire> anniv = LitSaisieAnniv();
        if (!anniv)
            return;
        try {
            ModifieAnniversaire(m_numRappel, *anniv);
        } catch (const ErreurBase &) {
            MsgInfo(QStringLiteral("Erreur lors de l'ajout en base !"));
        }
        RemplitListeAnniv();
    }
    FermeSaisie();
}

void PanneauAnniv::imgAAnnul2_Click()
{
    imgAAnnul.jumeau->hide();
    FermeSaisie();
}

void PanneauAnniv::imgMAnniv2_Click()
{
    imgMAnniv.jumeau->hide();
    if (ListView2->Vide())
        return;
    const int numero = ListView2->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Pour modifier, sélectionnez une personne. "));
        return;
    }
    try {
        DebuteSaisie(QStringLiteral("M"));
        GereAfficheAnniv(false);
        RemplitEcheancesAnniv();
        RemplitDatesAnniv();
        cboAnnivJ1->setCurrentIndex(0);
        cboAnnivJ2->setCurrentIndex(0);
        const QTreeWidgetItem *ligne = ListView2->selectedItems().first();
        txtNomAnniv->setText(ligne->text(1));
        txtPrenomAnniv->setText(ligne->text(0).trimmed());

        const std::optional<RappelStocke> rappel = LitRappel(numero, QStringLiteral("A"));
        if (!rappel) {
            MsgInfo(QStringLiteral("Aucune donnée trouvée !"));
            FinitSaisie();
            GereAfficheAnniv(true);
            return;
        }
        m_numRappel = rappel->numRappel;
        const QDate date = rappel->dateRappel;
        cboAnnivJ->setCurrentIndex(date.day() - 1);
        cboAnnivM->setCurrentIndex(date.month() - 1);
        const int positionAnnee = date.year() == AnneeInconnue ? 0 : date.year() - 1870;
        if (positionAnnee >= 0 && positionAnnee < cboAnnivA->count())
            cboAnnivA->setCurrentIndex(positionAnnee);
        else
            cboAnnivA->setEditText(QString::number(date.year()));
        chkAJ1->setChecked(rappel->echeances[1].date != DateNulle);
        cboAnnivJ1->setCurrentIndex(RetrouveDelai(date, rappel->echeances[2].date));
        cboAnnivJ2->setCurrentIndex(RetrouveDelai(date, rappel->echeances[3].date));
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible de modifier !"));
        FinitSaisie();
        GereAfficheAnniv(true);
    }
}

void PanneauAnniv::imgSAnniv2_Click()
{
    imgSAnniv.jumeau->hide();
    if (ListView2->Vide())
        return;
    const int numero = ListView2->NumSelectionne();
    if (numero == 0) {
        MsgInfo(QStringLiteral("Sélectionnez une personne à supprimer. "));
        return;
    }
    if (!MsgQuestion(QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel d'anniversaire ?")))
        return;
    try {
        SupprimeRappel(numero, QStringLiteral("A"));
    } catch (const ErreurBase &) {
        MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
        return;
    }
    RemplitListeAnniv();
}

} // namespace oxi
