#pragma once
#include "PopupEphem.h"

namespace oxi {

// The facts of the current month; bottom of the right-hand column.
class frmMois : public PopupEphem
{
    Q_OBJECT
public:
    frmMois();
    static frmMois *Ouverte();

    QLabel *lblRepublicain = nullptr;
    QLabel *lblAnge = nullptr;
    QLabel *lblArbre = nullptr;
    QLabel *lblFleur = nullptr;
    QLabel *lblAnimal = nullptr;
    QLabel *lblPierre = nullptr;

private:
    void RechercheMois();
    double Placement() const;
};

} // namespace oxi
