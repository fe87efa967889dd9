#pragma once
#include "DepotRappels.h"
#include "Echeances.h"
#include "TypeRappel.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <array>
#include <optional>

// What of a reminder travels to the calendar server: its kind, date, label,
// note text and, per due-date slot, whether it is used, its lead time and
// whether it was acknowledged. Absolute due dates do not travel: each
// computer re-arms them in its own year.
namespace oxi {

struct SlotSynchro
{
    bool utilise = false;
    int delai = 0; // days before the event day (0 for the first slot)
    bool fait = false;

    bool operator==(const SlotSynchro &) const = default;
};

struct Contenu
{
    std::optional<TypeRappel> type = TypeRappel::Note; // nothing: a kind this program does not know
    QDate dateRappel;
    QString libelle;
    QString texte; // notes only
    std::array<SlotSynchro, 3> cases{};

    bool operator==(const Contenu &) const = default;
    // Equal but for the done flags.
    bool MemeSaufEtats(const Contenu &autre) const;
    // A fingerprint of everything above, to notice changes between exchanges.
    QString Empreinte() const;
};

// The content of a stored reminder (its due dates turned into lead times).
Contenu ContenuDeRappel(const RappelStocke &rappel);
// The reminder to store for a content in the year of `aujourdhui`, numbered `numRappel`.
RappelStocke RappelDeContenu(const Contenu &contenu, const QDate &aujourdhui, qint64 numRappel = 0);
// The due dates to store for a content in `annee`: cases before `aujourdhui` are done.
Echeances EcheancesDeContenu(const Contenu &contenu, const QDate &aujourdhui);
// Why a content read from a server cannot be stored; empty when it can.
QString DefautContenu(const Contenu &contenu);
// What a person reads of a content, for a conflict note.
QString DecritContenu(const Contenu &contenu);

} // namespace oxi
