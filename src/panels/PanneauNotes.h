#pragma once
#include "ImageBouton.h"

namespace oxi {

class PanneauNotes : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauNotes(QWidget *parent);
};

} // namespace oxi
