#pragma once
#include "ImageBouton.h"
#include "PopupEphem.h"

namespace oxi {

// The names celebrated today, with the date and a clock; tomorrow's names
// in the tool tip. Top of the right-hand column; its "X" closes the column.
class frmFetes : public PopupEphem
{
    Q_OBJECT
public:
    // Loads the popup for today: texts, sizes, place, outline; then it counts as loaded.
    frmFetes();
    // The open one, nullptr when closed.
    static frmFetes *Ouverte();

    // The clock, "hh:mm" from the program's clock.
    void MetAJourHeure();
    // Height given to lblFet, in twips.
    int HauteurNomsTwips() const { return m_hauteurNoms; }

    Image *imgFetes = nullptr;
    Image *imgFetes2 = nullptr;
    QLabel *lblDate = nullptr;
    QLabel *lblHeure = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lblFet = nullptr;

protected:
    void SurvolFond() override;
    bool eventFilter(QObject *objet, QEvent *event) override;

private:
    void RechercheDate();
    void RechercheFetes();
    void ModifieTailleNoms(int nb);
    void ModifieTailleFenetre();
    void FermePopups();

    double m_hauteurFenetre = 2748;
    int m_hauteurNoms = 852;
};

} // namespace oxi
