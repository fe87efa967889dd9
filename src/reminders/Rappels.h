#pragma once
#include "DepotRappels.h"
#include "Horloge.h"
#include "TexteRappel.h"

#include <QDate>
#include <QVector>
#include <optional>

// The due scan, its list of due reminders and their acknowledgement, without the popup.
namespace oxi {

// The due reminders of the last scan that found any, in ascending number,
// each marked once the popup has taken it.
class FileRappels
{
public:
    // Takes `numeros` as the new list unless it is empty; true when something is due.
    bool Remplace(const QVector<qint64> &numeros);
    int NonAffiches() const;
    int Taille() const { return int(m_entrees.size()); }
    qint64 Numero(int i) const { return m_entrees.at(i).numero; }
    // The first reminder not yet shown; nothing when none is left.
    std::optional<qint64> Suivant() const;
    // Marks the first reminder not yet shown as shown.
    void MarqueAffiche();
    // Marks `numero` shown wherever it stands ("Plus tard" keeps it out of a new list).
    void MarqueAffiche(qint64 numero);
    // Puts `numero` back as not shown, at the end when the list does not hold it.
    void RemetEnAttente(qint64 numero);

private:
    struct Entree
    {
        qint64 numero = 0;
        bool affiche = false;
    };
    QVector<Entree> m_entrees;
};

// A reminder ready for the popup.
struct RappelAffiche
{
    RappelStocke rappel;
    TexteRappel texte;
};

// The due scan: owns the list the popup walks through.
class ScanRappels
{
public:
    explicit ScanRappels(Connexion &connexion = Base()) : m_depot(connexion) { }

    // Lists the reminders due on `aujourdhui`; the list is replaced only when
    // something is due (a popup still open keeps its own). Throws ErreurBase.
    bool Scrute(const QDate &aujourdhui = Aujourdhui());
    const FileRappels &File() const { return m_file; }
    FileRappels &File() { return m_file; }

    // The next due reminder, composed, marked shown and acknowledged in the file
    // (failure: "Erreur lors de la mise à jour des données. ", the popup shows it
    // all the same). A reminder that cannot be read or composed is reported once
    // ("Erreur lors de l'afficage du message."), left as it is in the file and
    // stepped over, so that the ones behind it still come. Nothing when none is left.
    std::optional<RappelAffiche> Prochain(const QDate &aujourdhui = Aujourdhui());

private:
    DepotRappels m_depot;
    FileRappels m_file;
};

} // namespace oxi
