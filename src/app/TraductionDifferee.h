#pragma once

#include <QTranslator>

#include <mutex>

namespace oxi {

// Qt's own texts in French ("Oui", "Non", the file chooser), read from their
// file only when Qt first asks for one: a tray program that opens no window
// never maps it.
class TraductionDifferee : public QTranslator
{
public:
    bool isEmpty() const override;
    QString translate(const char *contexte, const char *source, const char *precision, int nombre) const override;

private:
    mutable QTranslator m_fichier;
    mutable std::once_flag m_charge;
};

} // namespace oxi
