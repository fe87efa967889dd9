#pragma once
#include "EcritureRappels.h"
#include "ImageBouton.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace oxi {

class ListeRappels;

// The name-days panel (fraFetes): the sorted list, and the entry view where a
// first name is picked with its day from the reference table.
class PanneauFetes : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauFetes(QWidget *parent);

    void Ouvre();
    void GereAfficheFete(bool val);
    void RemplitListeFetes();
    void TrieListeFetes(int colonne);

    void imgAFetes2_Click();
    void imgMFetes2_Click();
    void imgSFetes2_Click();
    void imgFValid2_Click();
    void imgFAnnul2_Click();

    QLabel *lblTitre3 = nullptr;
    ListeRappels *ListView1 = nullptr;
    PaireImages imgAFetes, imgMFetes, imgSFetes, imgFValid, imgFAnnul;
    PaireImages TriFP, TriFD;
    QComboBox *cboFetes = nullptr;
    QLabel *lblEch = nullptr;
    QCheckBox *chkFJ1 = nullptr;
    QComboBox *cboFeteJ1 = nullptr;
    QComboBox *cboFeteJ2 = nullptr;

private:
    void RemplitEcheancesFete();
    // Reads the entry view; nothing when it cannot be read (reported).
    std::optional<std::pair<SaisieFete, ChoixEcheances>> LitSaisieFete();
    void FermeSaisie();
    void AfficheListe();

    int m_numRappel = 0;
};

} // namespace oxi
