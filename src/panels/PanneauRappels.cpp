#include "PanneauRappels.h"

#include "Base.h"
#include "Constantes.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Polices.h"
#include "Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace oxi {

PanneauRappels::PanneauRappels(NomsPanneau noms, QWidget *parent) : Cadre(noms.cadre, parent), m_noms(std::move(noms))
{
    PlaceTwips(this, 1080, 360, 5412, 2772);
    setFont(Police(QStringLiteral("Tahoma"), 8));
    lblTitre = CreeTitre(this, m_noms.titre, m_noms.texteTitre);
    liste = new ListeRappels(m_noms.liste, m_noms.entetes, this);
    PlaceTwips(liste, 120, 690, 4560, 1980);

    const QString &b = m_noms.boutons;
    const QString l = LettreType(m_noms.type);
    ajouter = CreeBouton(this, QStringLiteral("imgA") + b, QStringLiteral(":/panels/ajouter.svg"), QStringLiteral("Ajouter"),
                         4860, 690, [this] { Ajoute(); });
    modifier = CreeBouton(this, QStringLiteral("imgM") + b, QStringLiteral(":/panels/modifier.svg"), QStringLiteral("Modifier"),
                          4860, 1230, [this] { Modifie(); });
    supprimer = CreeBouton(this, QStringLiteral("imgS") + b, QStringLiteral(":/panels/supprimer.svg"),
                           QStringLiteral("Supprimer"), 4860, 1770, [this] { Supprime(); });

    const int haut = m_noms.hautEcheances;
    lblEch = CreeEtiquette(this, m_noms.echeances, QStringLiteral("Echéances de rappel :"), 120, haut, 1860);
    chkJour = new QCheckBox(QStringLiteral("Le jour-même"), this);
    chkJour->setObjectName(QStringLiteral("chk") + l + QStringLiteral("J1"));
    chkJour->setChecked(true);
    PlaceTwips(chkJour, 1980, haut - 30, 1800, 315);
    // Debian's fonts run wider: the box keeps clear of the caption's end.
    const int finLegende = lblEch->x() + lblEch->fontMetrics().horizontalAdvance(lblEch->text()) + 6;
    if (chkJour->x() < finLegende)
        chkJour->move(finLegende, chkJour->y());
    cboDelai1 = CreeListe(this, m_noms.delai1, 1980, haut + 375, 1260);
    cboDelai2 = CreeListe(this, m_noms.delai2, 3360, haut + 375, 1260);
    valider = CreeBouton(
        this, QStringLiteral("img") + l + QStringLiteral("Valid"), QStringLiteral(":/panels/valider.svg"),
        QStringLiteral("Valider"), 4860, 690, [this] { Valide(); }, m_noms.jumeauValider);
    annuler = CreeBouton(this, QStringLiteral("img") + l + QStringLiteral("Annul"), QStringLiteral(":/panels/annuler.svg"),
                         QStringLiteral("Annuler"), 4860, 1230, [this] { Annule(); });

    connect(liste, &ListeRappels::toucheSuppr, this, &PanneauRappels::Supprime);
    connect(liste, &ListeRappels::doubleClic, this, &PanneauRappels::Modifie);
    connect(liste, &ListeRappels::survol, this, [this] {
        for (const PaireImages &tri : std::as_const(tris))
            tri.jumeau->hide();
    });
    connect(this, &Cadre::survol, this, [this] {
        QList<PaireImages> paires{ajouter, modifier, supprimer, valider, annuler};
        for (const PaireImages &paire : paires + tris)
            paire.jumeau->hide();
    });
}

void PanneauRappels::AjouteTri(const QString &nom, const QString &ressource, int gauche, int colonne)
{
    tris << CreeBoutonTri(this, nom, ressource, gauche, 420, [this, colonne] { TrieListe(colonne); });
}

void PanneauRappels::Ouvre()
{
    GereAffiche(true);
    RemplitListe();
}

void PanneauRappels::GereAffiche(bool val)
{
    liste->setVisible(val);
    for (const PaireImages &paire : QList<PaireImages>{ajouter, modifier, supprimer} + tris)
        paire.image->setVisible(val);
    for (QWidget *w : m_saisie + QList<QWidget *>{lblEch, chkJour, cboDelai1, cboDelai2, valider.image, annuler.image})
        w->setVisible(!val);
}

void PanneauRappels::AfficheListe()
{
    liste->Remplit(m_table, m_noms.cellules);
}

void PanneauRappels::RemplitListe()
{
    try {
        m_table = m_noms.litTable();
    } catch (const ErreurBase &) {
        MsgInfo(m_noms.erreurListe);
        return;
    }
    AfficheListe();
}

void PanneauRappels::TrieListe(int colonne)
{
    TrieTableau(m_table, colonne);
    AfficheListe();
}

void PanneauRappels::RemplitEcheances()
{
    for (QComboBox *boite : {cboDelai1, cboDelai2}) {
        if (boite->count() == 0)
            boite->addItems(ItemsDelai());
        boite->setCurrentIndex(0);
    }
}

std::optional<ChoixEcheances> PanneauRappels::LitEcheances(bool valide)
{
    const std::optional<int> delai1 = LitDelaiSaisi(cboDelai1->currentText());
    const std::optional<int> delai2 = LitDelaiSaisi(cboDelai2->currentText());
    if (!valide || !delai1 || !delai2) {
        MsgInfo(QStringLiteral("Erreur lors de la lecture des valeurs saisies !"));
        return std::nullopt;
    }
    return ChoixEcheances{chkJour->isChecked(), *delai1, *delai2};
}

void PanneauRappels::Ecrit(const std::function<void()> &ecriture, const QString &erreur)
{
    try {
        ecriture();
    } catch (const ErreurBase &) {
        MsgInfo(erreur);
    }
    RemplitListe();
}

void PanneauRappels::FermeSaisie()
{
    chkJour->setChecked(true);
    for (QComboBox *boite : {cboDelai1, cboDelai2})
        if (boite->count() > 0)
            boite->setCurrentIndex(0);
    VideSaisie();
    m_mode = ModeSaisie::Aucune;
    GereAffiche(true);
}

void PanneauRappels::Ajoute()
{
    ajouter.jumeau->hide();
    try {
        m_mode = ModeSaisie::Ajout;
        GereAffiche(false);
        RemplitEcheances();
        PrepareAjout();
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible d'ajouter !"));
        FermeSaisie();
    }
}

void PanneauRappels::Modifie()
{
    modifier.jumeau->hide();
    if (liste->Vide())
        return;
    const qint64 numero = liste->NumSelectionne();
    if (numero == 0) {
        MsgInfo(m_noms.choisirModif);
        return;
    }
    try {
        m_mode = ModeSaisie::Modification;
        GereAffiche(false);
        RemplitEcheances();
        const std::optional<RappelStocke> rappel = LitRappel(numero, m_noms.type);
        if (!rappel) {
            MsgInfo(m_noms.introuvable);
            FermeSaisie();
            return;
        }
        m_numRappel = rappel->numRappel;
        MontreRappel(*rappel, *liste->selectedItems().first());
        chkJour->setChecked(rappel->echeances[1].date != DateNulle);
        cboDelai1->setCurrentIndex(RetrouveDelai(rappel->dateRappel, rappel->echeances[2].date));
        cboDelai2->setCurrentIndex(RetrouveDelai(rappel->dateRappel, rappel->echeances[3].date));
    } catch (const std::exception &) {
        MsgInfo(QStringLiteral("Erreur: impossible de modifier !"));
        FermeSaisie();
    }
}

void PanneauRappels::Valide()
{
    valider.jumeau->hide();
    const ModeSaisie mode = m_mode;
    if (mode != ModeSaisie::Aucune) {
        try {
            if (!Enregistre(mode == ModeSaisie::Ajout))
                return;
        } catch (const std::exception &) {
            MsgInfo(mode == ModeSaisie::Ajout ? m_noms.erreurAjout : QStringLiteral("Erreur: impossible de modifier !"));
        }
    }
    FermeSaisie();
}

void PanneauRappels::Annule()
{
    annuler.jumeau->hide();
    FermeSaisie();
}

void PanneauRappels::Supprime()
{
    supprimer.jumeau->hide();
    if (liste->Vide())
        return;
    const qint64 numero = liste->NumSelectionne();
    if (numero == 0) {
        MsgInfo(m_noms.choisirSuppr);
        return;
    }
    if (!MsgQuestion(m_noms.questionSuppr))
        return;
    bool supprime = false;
    try {
        supprime = SupprimeRappel(numero, m_noms.type);
    } catch (const ErreurBase &) {
    }
    if (!supprime)
        MsgInfo(QStringLiteral("Erreur lors de la suppression !"));
    RemplitListe();
}

} // namespace oxi
