#pragma once
#include <QObject>

// Told after every write of the user's reminders (a panel, the popup's
// acknowledgement), so that whoever keeps a copy elsewhere can follow.
namespace oxi {

class Modifications : public QObject
{
    Q_OBJECT
signals:
    void Ecrites();
};

Modifications &AvisModifications();
inline void SignaleModification()
{
    emit AvisModifications().Ecrites();
}

} // namespace oxi
