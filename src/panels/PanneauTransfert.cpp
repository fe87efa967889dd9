#include "PanneauTransfert.h"

namespace oxi {

PanneauTransfert::PanneauTransfert(QWidget *parent) : Cadre(QStringLiteral("fraTransfert"), parent)
{
}

} // namespace oxi
