#include "Rappels.h"

#include "Messagerie.h"
#include "Modifications.h"

namespace oxi {

bool FileRappels::Remplace(const QVector<qint64> &numeros)
{
    if (numeros.isEmpty())
        return false;
    m_entrees.clear();
    for (qint64 numero : numeros)
        m_entrees.append({numero, false});
    return true;
}

int FileRappels::NonAffiches() const
{
    return int(std::count_if(m_entrees.begin(), m_entrees.end(), [](const Entree &e) { return !e.affiche; }));
}

std::optional<qint64> FileRappels::Suivant() const
{
    for (const Entree &e : m_entrees)
        if (!e.affiche)
            return e.numero;
    return std::nullopt;
}

void FileRappels::MarqueAffiche()
{
    for (Entree &e : m_entrees)
        if (!e.affiche) {
            e.affiche = true;
            return;
        }
}

void FileRappels::MarqueAffiche(qint64 numero)
{
    for (Entree &e : m_entrees)
        if (e.numero == numero)
            e.affiche = true;
}

void FileRappels::RemetEnAttente(qint64 numero)
{
    for (Entree &e : m_entrees)
        if (e.numero == numero) {
            e.affiche = false;
            return;
        }
    m_entrees.append({numero, false});
}

bool ScanRappels::Scrute(const QDate &aujourdhui)
{
    return m_file.Remplace(m_depot.NumerosDus(aujourdhui));
}

std::optional<RappelAffiche> ScanRappels::Prochain(const QDate &aujourdhui)
{
    while (const std::optional<qint64> numero = m_file.Suivant()) {
        m_file.MarqueAffiche();
        std::optional<RappelStocke> rappel;
        std::optional<TexteRappel> texte;
        try {
            rappel = m_depot.Lit(*numero);
            if (rappel)
                texte = ComposeRappel(*rappel, aujourdhui);
        } catch (const ErreurBase &) {
        }
        if (!texte) {
            MsgInfo(QStringLiteral("Erreur lors de l'afficage du message."));
            continue;
        }
        try {
            m_depot.Acquitte(*numero, aujourdhui);
            SignaleModification();
        } catch (const ErreurBase &) {
            MsgInfo(QStringLiteral("Erreur lors de la mise à jour des données. "));
        }
        return RappelAffiche{*rappel, *texte};
    }
    return std::nullopt;
}

} // namespace oxi
