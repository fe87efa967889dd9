#pragma once
#include "EcritureRappels.h"
#include "ImageBouton.h"

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace oxi {

class ListeRappels;

// The birthdays panel (fraAnniv): the sorted list with Ajouter, Modifier and
// Supprimer, and the entry view with the name, the birth date and the lead times.
class PanneauAnniv : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauAnniv(QWidget *parent);

    // Opening from the icon bar: list view, list re-read.
    void Ouvre();
    // List view when true, entry view when false; nothing else changes.
    void GereAfficheAnniv(bool val);
    void RemplitListeAnniv();
    void TrieListeAnniv(int colonne);
    // Selects the date items matching the typed texts; false when the date cannot be used.
    bool RechercheDateAnniv();

    void imgAAnniv2_Click();
    void imgMAnniv2_Click();
    void imgSAnniv2_Click();
    void imgAVAlid2_Click();
    void imgAAnnul2_Click();

    QLabel *lblTitre4 = nullptr;
    ListeRappels *ListView2 = nullptr;
    PaireImages imgAAnniv, imgMAnniv, imgSAnniv, imgAValid, imgAAnnul;
    PaireImages TriAD, TriAN, TriAP;
    QLabel *lblNomAnniv = nullptr;
    QLineEdit *txtNomAnniv = nullptr;
    QLabel *lblPrenomAnniv = nullptr;
    QLineEdit *txtPrenomAnniv = nullptr;
    QLabel *lblDateNaiss = nullptr;
    QComboBox *cboAnnivJ = nullptr;
    QComboBox *cboAnnivM = nullptr;
    QComboBox *cboAnnivA = nullptr;
    QLabel *lblEch2 = nullptr;
    QCheckBox *chkAJ1 = nullptr;
    QComboBox *cboAnnivJ1 = nullptr;
    QComboBox *cboAnnivJ2 = nullptr;

private:
    void RemplitDatesAnniv();
    void RemplitEcheancesAnniv();
    // Reads the entry view; nothing when a value cannot be read (reported).
    std::optional<Anniversaire> LitSaisieAnniv();
    void FermeSaisie();
    void AfficheListe();

    int m_numRappel = 0;
};

} // namespace oxi
