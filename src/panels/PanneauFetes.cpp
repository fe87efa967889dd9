#include "PanneauFetes.h"

namespace oxi {

PanneauFetes::PanneauFetes(QWidget *parent) : Cadre(QStringLiteral("fraFetes"), parent)
{
}

} // namespace oxi
