#pragma once
#include "EcritureRappels.h"
#include "ImageBouton.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace oxi {

class ListeRappels;

// The notes panel (fraNotes): the sorted list, and the entry view with the
// date, the title, the text and the lead times.
class PanneauNotes : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauNotes(QWidget *parent);

    static constexpr int LongueurTitre = 50;
    static constexpr int LongueurTexte = 500;

    void Ouvre();
    void GereAfficheNote(bool val);
    void RemplitListeNotes();
    void TrieListeNotes(int colonne);

    void imgANotes2_Click();
    void imgMNotes2_Click();
    void imgSNotes2_Click();
    void imgNValid2_Click();
    void imgNAnnul2_Click();

    QLabel *lblTitre5 = nullptr;
    ListeRappels *ListView3 = nullptr;
    PaireImages imgANotes, imgMNotes, imgSNotes, imgNValid, imgNAnnul;
    PaireImages TriND, TriNT;
    QDateEdit *DTDateNote = nullptr;
    QLabel *lblTitreNote = nullptr;
    QLineEdit *txtTitreNote = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    QLabel *lblEch3 = nullptr;
    QCheckBox *chkNJ1 = nullptr;
    QComboBox *cboNotesJ1 = nullptr;
    QComboBox *cboNotesJ2 = nullptr;

private:
    void RemplitEcheancesNote();
    // Reads the entry view; nothing when a value cannot be read (reported).
    std::optional<Note> LitSaisieNote();
    void FermeSaisie();
    void AfficheListe();
    void LimiteTexte();

    int m_numRappel = 0;
};

} // namespace oxi
