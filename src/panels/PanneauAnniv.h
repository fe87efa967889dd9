#pragma once
#include "ImageBouton.h"

namespace oxi {

class PanneauAnniv : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauAnniv(QWidget *parent);
};

} // namespace oxi
