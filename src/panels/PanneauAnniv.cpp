#include "PanneauAnniv.h"

namespace oxi {

PanneauAnniv::PanneauAnniv(QWidget *parent) : Cadre(QStringLiteral("fraAnniv"), parent)
{
}

} // namespace oxi
