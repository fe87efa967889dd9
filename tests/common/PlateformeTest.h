#pragma once
#include "Plateforme.h"

#include <QStringList>

// Stands in for the desktop: the real autostart entry (in the test's own
// settings folder), a lock free or held, a chosen locale, and the documents
// and tools asked for, recorded.
namespace oxi {

class PlateformeTest : public PlateformeLinux
{
public:
    bool PrendVerrouInstance(const QString &) override { return verrouLibre; }
    QString IdentifiantLangue() override { return langue; }
    void OuvreDocument(const QString &adresse, std::function<void()> siEchec) override
    {
        documents << adresse;
        if (!documentOuvrable && siEchec)
            siEchec();
    }
    bool LanceInfosSysteme() override { return ++lancements, false; }

    bool verrouLibre = true;
    QString langue = QStringLiteral("040c");
    bool documentOuvrable = true;
    QStringList documents;
    int lancements = 0;
};

} // namespace oxi
