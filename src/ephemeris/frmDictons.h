#pragma once
#include "PopupEphem.h"

namespace oxi {

// The saying of the day, broken into lines of 28 characters; under the
// name-day popup when that one is open.
class frmDictons : public PopupEphem
{
    Q_OBJECT
public:
    frmDictons();
    static frmDictons *Ouverte();

    // Height given to lblDict, in twips.
    int HauteurDictonTwips() const { return m_hauteurDicton; }

    QLabel *Label1 = nullptr;
    QLabel *lblDict = nullptr;

private:
    void RechercheDictons();
    void ModifieTailleDictons(int nb);
    void ModifieTailleFenetre();
    double Placement() const;

    double m_hauteurFenetre = 2160;
    int m_hauteurDicton = 852;
};

} // namespace oxi
