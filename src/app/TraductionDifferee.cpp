#include "TraductionDifferee.h"

#include <QLibraryInfo>
#include <QLocale>

namespace oxi {

bool TraductionDifferee::isEmpty() const
{
    return false;
}

QString TraductionDifferee::translate(const char *contexte, const char *source, const char *precision, int nombre) const
{
    // Asked by Qt as soon as the translator is installed: French reads left to right.
    if (qstrcmp(source, "QT_LAYOUT_DIRECTION") == 0)
        return QStringLiteral("LTR");
    std::call_once(m_charge, [this] {
        (void)m_fichier.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    });
    return m_fichier.translate(contexte, source, precision, nombre);
}

} // namespace oxi
