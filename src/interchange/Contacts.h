#pragma once
#include "TypesEchanges.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// Birthdays read from contact files (vCard 2.1, 3.0 and 4.0) as address books
// and phones write them. No database here.
namespace oxi {

// Every card of a file, in order. A file without any card gives nothing.
QVector<FicheContact> LitFichesContacts(const QByteArray &contenu);

} // namespace oxi
