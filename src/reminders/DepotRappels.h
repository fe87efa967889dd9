#pragma once
#include "Base.h"
#include "Echeances.h"
#include "TypeRappel.h"

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

// The stored reminders: the only place that knows the columns of Rappel and
// Notes and holds the statements on them. Rows come back typed; numbers are
// 64-bit as the files hold them. Every failure throws ErreurBase.
namespace oxi {

// A stored reminder: its row of Rappel and, for a note, its text.
struct RappelStocke
{
    qint64 numRappel = 0;
    QDate dateRappel;               // invalid when the stored text is not a date
    std::optional<TypeRappel> type; // nothing for a letter this program does not know
    QString libelle;
    Echeances echeances; // a slot whose date cannot be read counts as unused
    QString texte;       // notes: Libelle1 followed by Libelle2

    bool operator==(const RappelStocke &) const = default;
};

// Every row of both tables as stored, in the column order of each table.
struct ContenuRappels
{
    QVector<QVector<QVariant>> rappels;
    QVector<QVector<QVariant>> notes;
};

class DepotRappels
{
public:
    explicit DepotRappels(Connexion &connexion = Base()) : m_connexion(connexion) { }

    // The reminder numbered `numero` (of kind `type` when given), with its note's text.
    std::optional<RappelStocke> Lit(qint64 numero, std::optional<TypeRappel> type = std::nullopt) const;
    // Every reminder with its slots and note text, by number.
    QVector<RappelStocke> Tous() const;
    // Number, date and label of every reminder of one kind, by number.
    QVector<RappelStocke> ListeType(TypeRappel type) const;
    // Numbers of the reminders due on `aujourdhui` (the rule of EstDu), ascending.
    QVector<qint64> NumerosDus(const QDate &aujourdhui) const;
    // Birthdays stored with this label (letter case aside) and this birth date.
    int CompteAnniversaires(const QString &libelle, const QDate &dateRappel) const;
    // Name days stored for this first name (letter case aside).
    int CompteFetes(const QString &prenom) const;
    // Highest number in Rappel and Notes plus 1. New numbers stay at most 32767,
    // what stored files rely on: beyond, it throws.
    qint64 NouveauNumero() const;

    // The three writes below run in one transaction of their own, or inside the
    // caller's when one is open (an import, an exchange with a calendar).
    // Writes a new reminder (and a note's text); returns its number.
    qint64 Ajoute(const RappelStocke &rappel);
    // Rewrites date, label, slots (and a note's text) of `rappel.numRappel`, of its
    // kind, in one transaction; throws when no such row.
    void Modifie(const RappelStocke &rappel);
    // Deletes the reminder and a note's text in one transaction; false when no such row.
    bool Supprime(qint64 numero, TypeRappel type);
    // Sets the flag of every slot of the reminder dated `aujourdhui` or earlier.
    void Acquitte(qint64 numero, const QDate &aujourdhui);
    // Puts the three done flags back as they were (a reminder put off for later).
    void RemetDrapeaux(qint64 numero, const Echeances &echeances);
    // Moves every readable used slot of the birthdays and name days one year
    // forward and clears its flag (EcheanceRearmee), in one statement: the
    // caller's transaction decides. Returns the rows touched.
    int Rearme();

    // Creates both tables in the attached database `schema` and copies every row there.
    void CopieVers(const QString &schema);
    // Every row of both tables when they are this program's and each row is one
    // it can live with; nothing otherwise (damaged or foreign backup).
    std::optional<ContenuRappels> LitContenu() const;
    // Replaces every row of both tables by `contenu`, in the caller's transaction.
    void Remplace(const ContenuRappels &contenu);
    int NombreRappels() const;
    int NombreNotes() const;

private:
    Connexion &m_connexion;
};

} // namespace oxi
