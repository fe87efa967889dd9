#include "PanneauFetes.h"

#include "Base.h"
#include "ListeRappels.h"
#include "Messagerie.h"
#include "Twips.h"

#include <QComboBox>

namespace oxi {

namespace {

QStringList CellulesFete(const LigneTableau &ligne)
{
    return {ligne.Colonne(1), ligne.Colonne(2)};
}

} // namespace

PanneauFetes::PanneauFetes(QWidget *parent)
    : PanneauRappels({.cadre = QStringLiteral("fraFetes"),
                      .titre = QStringLiteral("lblTitre3"),
                      .texteTitre = QStringLiteral("Fêtes"),
                      .liste = QStringLiteral("ListView1"),
                      .entetes = {QStringLiteral("Prénom"), QStringLiteral("Date")},
                      .boutons = QStringLiteral("Fetes"),
                      .jumeauValider = {},
                      .echeances = QStringLiteral("lblEch"),
                      .delai1 = QStringLiteral("cboFeteJ1"),
                      .delai2 = QStringLiteral("cboFeteJ2"),
                      .hautEcheances = 1275,
                      .type = TypeRappel::Fete,
                      .litTable = &TableFetes,
                      .cellules = &CellulesFete,
                      .erreurListe = QStringLiteral("Erreur lors du remplissage de la liste des fêtes !"),
                      .choisirModif = QStringLiteral("Pour modifier, sélectionnez un prénom. "),
                      .choisirSuppr = QStringLiteral("Sélectionnez le prénom à supprimer. "),
                      .questionSuppr = QStringLiteral("Etes-vous sûr de vouloir supprimer ce rappel de fête ?"),
                      .introuvable = QStringLiteral("Erreur: impossible de modifier !"),
                      .erreurAjout = QStringLiteral("Erreur: impossible d'ajouter un prénom à la liste !")},
                     parent)
{
    liste->setColumnWidth(0, Px(2520));
    AjouteTri(QStringLiteral("TriFP"), QStringLiteral(":/panels/tritexte.svg"), 2370, 1);
    AjouteTri(QStringLiteral("TriFD"), QStringLiteral(":/panels/tridate.svg"), 4410, 3);
    cboFetes = CreeListe(this, QStringLiteral("cboFetes"), 120, 690, 3840);
    cboFetes->setMaxVisibleItems(15);
    AjouteSaisie({cboFetes});
    GereAffiche(true);
}

void PanneauFetes::GereAffiche(bool val)
{
    PanneauRappels::GereAffiche(val);
    cboFetes->setEnabled(!val);
}

void PanneauFetes::VideSaisie()
{
    cboFetes->setCurrentIndex(-1);
    cboFetes->setEditText(QString());
}

void PanneauFetes::PrepareAjout()
{
    if (cboFetes->count() == 0) {
        QVector<PrenomFete> prenoms;
        try {
            prenoms = ChargeListeFetes();
        } catch (const ErreurBase &) {
            MsgInfo(QStringLiteral("Erreur lors du chargement de la liste des fêtes !"));
        }
        cboFetes->addItems(ItemsFetes(prenoms));
        VideSaisie();
    }
    cboFetes->setFocus();
}

void PanneauFetes::MontreRappel(const RappelStocke &, const QTreeWidgetItem &ligne)
{
    // The first name cannot change: delete and add another instead.
    cboFetes->setEnabled(false);
    // Emptied so that the next Ajouter reloads the names.
    cboFetes->clear();
    cboFetes->setEditText(ligne.text(0) + QStringLiteral(" - ") + ligne.text(1));
}

bool PanneauFetes::Enregistre(bool ajout)
{
    if (ajout && cboFetes->currentText().trimmed().isEmpty()) {
        MsgInfo(QStringLiteral("Choisissez un prénom ou annulez."));
        return false;
    }
    const std::optional<SaisieFete> fete = LitTexteFete(cboFetes->currentText());
    const std::optional<ChoixEcheances> choix = LitEcheances(fete.has_value());
    if (!choix)
        return false;
    const qint64 numero = m_numRappel;
    Ecrit([&] { ajout ? void(AjouteFete(*fete, *choix)) : ModifieFete(numero, *fete, *choix); },
          QStringLiteral("Erreur lors de l'ajout en base !"));
    return true;
}

} // namespace oxi
