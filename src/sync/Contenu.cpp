#include "Contenu.h"

#include <QCryptographicHash>
#include <QLocale>

namespace oxi {

namespace {

constexpr int LongueurLibelleMax = 255;
constexpr int LongueurTexteMax = 65535;

// Days from `echeance` to the next event day on or after it: the lead time of that slot.
int DelaiVers(const QDate &dateRappel, const QDate &echeance)
{
    QDate evenement = JourEvenement(dateRappel, echeance.year());
    if (evenement < echeance)
        evenement = JourEvenement(dateRappel, echeance.year() + 1);
    return int(echeance.daysTo(evenement));
}

bool TexteSain(const QString &texte)
{
    for (const QChar c : texte)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\n') && c != QLatin1Char('\r') && c != QLatin1Char('\t'))
            return false;
    return true;
}

} // namespace

bool Contenu::MemeSaufEtats(const Contenu &autre) const
{
    Contenu a = *this, b = autre;
    for (int k = 0; k < 3; ++k)
        a.cases[k].fait = b.cases[k].fait = false;
    return a == b;
}

QString Contenu::Empreinte() const
{
    QString s = (type ? LettreType(*type) : QString()) + QLatin1Char('\x1f') + dateRappel.toString(Qt::ISODate)
        + QLatin1Char('\x1f') + libelle + QLatin1Char('\x1f') + texte;
    for (const SlotSynchro &slot : cases)
        s += QStringLiteral("\x1f%1,%2,%3").arg(int(slot.utilise)).arg(slot.delai).arg(int(slot.fait));
    return QString::fromLatin1(QCryptographicHash::hash(s.toUtf8(), QCryptographicHash::Sha1).toHex());
}

Contenu ContenuDeRappel(const RappelStocke &rappel)
{
    Contenu c;
    c.type = rappel.type;
    c.dateRappel = rappel.dateRappel;
    c.libelle = rappel.libelle;
    c.texte = rappel.type == TypeRappel::Note ? rappel.texte : QString();
    const QDate &dateRappel = rappel.dateRappel;
    for (int k = 1; k <= 3; ++k) {
        const Echeance &e = rappel.echeances[k];
        SlotSynchro &slot = c.cases[k - 1];
        slot.utilise = e.date.isValid() && e.date != DateNulle;
        slot.fait = slot.utilise && e.fait;
        slot.delai = slot.utilise && k > 1 ? DelaiVers(dateRappel, e.date) : 0;
    }
    return c;
}

Echeances EcheancesDeContenu(const Contenu &contenu, const QDate &aujourdhui)
{
    const QDate evenement = JourEvenement(contenu.dateRappel, aujourdhui.year());
    Echeances e;
    for (int k = 1; k <= 3; ++k) {
        const SlotSynchro &slot = contenu.cases[k - 1];
        e[k].date = slot.utilise ? evenement.addDays(-slot.delai) : DateNulle;
        // As when a panel writes a row: a past or unused date is done.
        e[k].fait = !slot.utilise || slot.fait || e[k].date < aujourdhui;
    }
    return e;
}

RappelStocke RappelDeContenu(const Contenu &contenu, const QDate &aujourdhui, qint64 numRappel)
{
    RappelStocke rappel;
    rappel.numRappel = numRappel;
    rappel.type = contenu.type;
    rappel.dateRappel = contenu.dateRappel;
    rappel.libelle = contenu.libelle;
    rappel.texte = contenu.texte;
    rappel.echeances = EcheancesDeContenu(contenu, aujourdhui);
    return rappel;
}

QString DefautContenu(const Contenu &c)
{
    if (!c.type)
        return QStringLiteral("type inconnu");
    if (!c.dateRappel.isValid() || c.dateRappel.year() < 1800 || c.dateRappel.year() > 9999)
        return QStringLiteral("date invalide");
    if (c.libelle.trimmed().isEmpty() || c.libelle.size() > LongueurLibelleMax || !TexteSain(c.libelle))
        return QStringLiteral("libellé invalide");
    if (c.type == TypeRappel::Anniversaire && !c.libelle.contains(QLatin1Char('#')))
        return QStringLiteral("nom invalide");
    if (c.texte.size() > LongueurTexteMax || !TexteSain(c.texte))
        return QStringLiteral("texte invalide");
    for (int k = 0; k < 3; ++k) {
        const SlotSynchro &s = c.cases[k];
        if (s.utilise && (k == 0 ? s.delai != 0 : s.delai < 1 || s.delai > 31))
            return QStringLiteral("délai invalide");
    }
    return {};
}

QString DecritContenu(const Contenu &c)
{
    const QLocale fr(QLocale::French);
    if (c.type == TypeRappel::Anniversaire) {
        const QString nom = c.libelle.section(QLatin1Char('#'), 0, 0);
        const QString prenom = c.libelle.section(QLatin1Char('#'), 1);
        const QString date = c.dateRappel.year() == AnneeInconnue ? fr.toString(c.dateRappel, QStringLiteral("d MMMM"))
                                                                  : fr.toString(c.dateRappel, QStringLiteral("d MMMM yyyy"));
        return QStringLiteral("Anniversaire : %1 %2, né(e) le %3").arg(prenom, nom, date);
    }
    if (c.type == TypeRappel::Fete)
        return QStringLiteral("Fête : %1, le %2").arg(c.libelle, fr.toString(c.dateRappel, QStringLiteral("d MMMM")));
    QString texte = QStringLiteral("Note : %1, le %2").arg(c.libelle, fr.toString(c.dateRappel, QStringLiteral("d MMMM yyyy")));
    if (!c.texte.isEmpty())
        texte += QStringLiteral("\n") + c.texte;
    return texte;
}

} // namespace oxi
