#include "PanneauAnniv.h"

#include <QStyle>
#include <algorithm>

#include "Base.h"
#include "Constantes.h"
#include "Horloge.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace oxi {

namespace {

QStringList CellulesAnniv(const LigneTableau &ligne)
{
    return {ligne.Colonne(2), ligne.Colonne(1), TexteAnniversaire(QDate::fromString(ligne.Colonne(3), Qt::ISODate))};
}

QLineEdit *CreeTexte(QWidget *parent, const QString &nom, int haut)
{
    auto *texte = new QLineEdit(parent);
    texte->setObjectName(nom);
    PlaceTwips(texte, 1980, haut, 2640, 315);
    return texte;
}

} // namespace

PanneauAnniv::PanneauAnniv(QWidget *parent)
    : PanneauRappels({.cadre = QStringLiteral("fraAnniv"),
                      .titre = QStringLiteral("lblTitre4"),
                      .texteTitre = QStringLiteral("Anniversaires"),
                      .liste = QStringLiteral("ListView2"),
                      .entetes = {QStringLiteral("Prenom"), QStringLiteral("Nom"), QStringLiteral("Date")},
                      .boutons = QStringLiteral("Anniv"),
                      .jumeauValider = QStringLiteral("imgAVAlid2"),
                      .echeances = QStringLiteral("lblEch2"),
                      .delai1 = QStringLiteral("cboAnnivJ1"),
                      .delai2 = QStringLiteral("cboAnnivJ2"),
                      .hautEcheances = 1785,
                      .type = TypeRappel::Anniversaire,
                      .litTable = &TableAnniversaires,
                      .cellules = &CellulesAnniv,
                      .erreurListe = QStringLiteral("Erreur lors du remplissage de la liste des anniversaires !"),
                      .choisirModif = QStringLiteral("Pour modifier, sélectionnez une personne. "),
                      .choisirSuppr = QStringLiteral("Sélectionnez une personne à supprimer. "),
                      .questionSuppr = QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel d'anniversaire ?"),
                      .introuvable = QStringLiteral("Aucune donnée trouvée !"),
                      .erreurAjout = QStringLiteral("Erreur: impossible d'ajouter un prénom à la liste !")},
                     parent)
{
    // The date column fits its longest ordinary text in the list's real font;
    // the two name columns share the rest (a tooltip gives a name cut short).
    const int marge = 2 * (liste->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, liste) + 1) + 4;
    const int date = liste->fontMetrics().horizontalAdvance(QStringLiteral("30 septembre (100 ans)")) + marge;
    const int nom = std::max(Px(900), (liste->LargeurUtile() - date) / 2);
    liste->setColumnWidth(0, nom);
    liste->setColumnWidth(1, nom);
    // Each sort button sits at the right end of its column's header.
    AjouteTri(QStringLiteral("TriAP"), QStringLiteral(":/panels/tritexte.svg"), int(120 + Twips(nom) - 270), 2);
    AjouteTri(QStringLiteral("TriAN"), QStringLiteral(":/panels/tritexte.svg"), int(120 + Twips(2 * nom) - 270), 1);
    AjouteTri(QStringLiteral("TriAD"), QStringLiteral(":/panels/tridate.svg"), 4410, 4);

    lblPrenomAnniv = CreeEtiquette(this, QStringLiteral("lblPrenomAnniv"), QStringLiteral("Prénom :"), 120, 540, 1800);
    txtPrenomAnniv = CreeTexte(this, QStringLiteral("txtPrenomAnniv"), 510);
    lblNomAnniv = CreeEtiquette(this, QStringLiteral("lblNomAnniv"), QStringLiteral("Nom :"), 120, 930, 1800);
    txtNomAnniv = CreeTexte(this, QStringLiteral("txtNomAnniv"), 900);
    lblDateNaiss = CreeEtiquette(this, QStringLiteral("lblDateNaiss"), QStringLiteral("Date de naissance :"), 120, 1320, 1860);
    cboAnnivJ = CreeListe(this, QStringLiteral("cboAnnivJ"), 1980, 1290, 600);
    cboAnnivM = CreeListe(this, QStringLiteral("cboAnnivM"), 2610, 1290, 1290);
    cboAnnivA = CreeListe(this, QStringLiteral("cboAnnivA"), 3960, 1290, 810);
    for (QComboBox *boite : {cboAnnivJ, cboAnnivM, cboAnnivA, cboDelai1, cboDelai2})
        boite->setMaxVisibleItems(12);
    AjouteSaisie({txtNomAnniv, lblNomAnniv, txtPrenomAnniv, lblPrenomAnniv, lblDateNaiss, cboAnnivJ, cboAnnivM, cboAnnivA});
    GereAffiche(true);
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
    for (QComboBox *boite : {cboAnnivJ, cboAnnivM, cboAnnivA})
        boite->setCurrentIndex(-1);
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
    const std::optional<ChoixEcheances> choix =
        LitEcheances(okJour && anniv.jour >= 1 && anniv.mois >= 1 && anniv.DateRappel().isValid());
    if (!choix)
        return std::nullopt;
    anniv.choix = *choix;
    return anniv;
}

void PanneauAnniv::VideSaisie()
{
    for (QComboBox *boite : {cboAnnivJ, cboAnnivM, cboAnnivA})
        if (boite->count() > 0)
            boite->setCurrentIndex(0);
    txtNomAnniv->clear();
    txtPrenomAnniv->clear();
}

void PanneauAnniv::PrepareAjout()
{
    RemplitDatesAnniv();
    txtPrenomAnniv->setFocus();
}

void PanneauAnniv::MontreRappel(const RappelStocke &rappel, const QTreeWidgetItem &ligne)
{
    RemplitDatesAnniv();
    txtNomAnniv->setText(ligne.text(1));
    txtPrenomAnniv->setText(ligne.text(0).trimmed());
    const QDate date = rappel.dateRappel;
    cboAnnivJ->setCurrentIndex(date.day() - 1);
    cboAnnivM->setCurrentIndex(date.month() - 1);
    const int positionAnnee = date.year() == AnneeInconnue ? 0 : date.year() - 1870;
    if (positionAnnee >= 0 && positionAnnee < cboAnnivA->count())
        cboAnnivA->setCurrentIndex(positionAnnee);
    else
        cboAnnivA->setEditText(QString::number(date.year()));
}

bool PanneauAnniv::Enregistre(bool ajout)
{
    if (ajout && txtNomAnniv->text().trimmed().isEmpty() && txtPrenomAnniv->text().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("Ecrivez le nom d'une personne ou annulez."));
        return false;
    }
    if (!RechercheDateAnniv()) {
        MsgInfo(QStringLiteral("Date invalide !"));
        return false;
    }
    if (ajout && (cboAnnivJ->currentIndex() < 0 || cboAnnivM->currentIndex() < 0)) {
        MsgInfo(QStringLiteral("Choisissez la date de naissance ou annulez."));
        return false;
    }
    const std::optional<Anniversaire> anniv = LitSaisieAnniv();
    if (!anniv)
        return false;
    if (ajout && ExisteAnniversaire(*anniv) != 0) {
        MsgInfo(QStringLiteral("Cet anniversaire existe déjà !"));
        return false;
    }
    const qint64 numero = m_numRappel;
    Ecrit([&] { ajout ? void(AjouteAnniversaire(*anniv)) : ModifieAnniversaire(numero, *anniv); },
          QStringLiteral("Erreur lors de l'ajout en base !"));
    return true;
}

} // namespace oxi
