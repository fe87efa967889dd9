#include "PanneauEphem.h"

namespace oxi {

PanneauEphem::PanneauEphem(QWidget *parent) : Cadre(QStringLiteral("fraEphem"), parent)
{
}

} // namespace oxi
