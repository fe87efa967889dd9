#include "PanneauNotes.h"

namespace oxi {

PanneauNotes::PanneauNotes(QWidget *parent) : Cadre(QStringLiteral("fraNotes"), parent)
{
}

} // namespace oxi
