#pragma once
#include "ImageBouton.h"

namespace oxi {

class PanneauFetes : public Cadre
{
    Q_OBJECT
public:
    explicit PanneauFetes(QWidget *parent);
};

} // namespace oxi
