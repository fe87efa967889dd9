#include "Rapprochement.h"

#include "Calendrier.h"

#include <QMultiHash>
#include <QRegularExpression>
#include <QUuid>

namespace oxi {

Contenu ContenuStocke(const Contenu &c, const QDate &aujourdhui)
{
    return ContenuDeRappel(RappelDeContenu(c, aujourdhui));
}

Contenu NoteConflit(const Contenu &perdant, bool venaitDuServeur, const QDate &aujourdhui)
{
    Contenu note;
    note.type = TypeRappel::Note;
    note.dateRappel = aujourdhui;
    note.libelle = QStringLiteral("Conflit de synchronisation");
    note.texte = (venaitDuServeur ? QStringLiteral("Version écartée, modifiée sur un autre appareil :\n")
                                  : QStringLiteral("Version écartée, modifiée sur cet ordinateur :\n"))
        + DecritContenu(perdant);
    return note;
}

QString HrefPour(const QString &collection, const QString &uid)
{
    static const QRegularExpression sur(QStringLiteral("^[A-Za-z0-9._@-]{1,200}$"));
    const QString nom = sur.match(uid).hasMatch() ? uid : QUuid::createUuid().toString(QUuid::WithoutBraces);
    return collection + nom + QStringLiteral(".ics");
}

QString UidParDefaut(qint64 numRappel)
{
    return UidRappel(numRappel);
}

PlanRapprochement Rapproche(const EntreeRapprochement &e)
{
    PlanRapprochement plan;
    QSet<QString> hrefsLies, uidsPris;
    QSet<qint64> numsLies;
    for (const LienObjet &l : e.liens) {
        hrefsLies.insert(l.href);
        uidsPris.insert(l.uid);
        if (l.numRappel > 0)
            numsLies.insert(l.numRappel);
    }
    for (const ObjetDistant &d : e.modifies)
        uidsPris.insert(d.evenement.uid);

    // Local rows never exchanged, by fingerprint: an object of the server with
    // the same content is the same reminder (a first exchange, a lost answer).
    QMultiHash<QString, qint64> nouveaux;
    for (auto it = e.locaux.cbegin(); it != e.locaux.cend(); ++it)
        if (!numsLies.contains(it.key())) {
            nouveaux.insert(it.value().Empreinte(), it.key());
            nouveaux.insert(ContenuStocke(it.value(), e.aujourdhui).Empreinte(), it.key());
        }
    auto prendNouveau = [&](const Contenu &c) -> qint64 {
        for (const QString &empreinte : {c.Empreinte(), ContenuStocke(c, e.aujourdhui).Empreinte()}) {
            const auto it = nouveaux.constFind(empreinte);
            if (it != nouveaux.cend()) {
                const qint64 num = it.value();
                for (auto j = nouveaux.begin(); j != nouveaux.end();)
                    j = j.value() == num ? nouveaux.erase(j) : std::next(j);
                return num;
            }
        }
        return 0;
    };
    auto importe = [&](const QString &href, const ObjetDistant &d) {
        const Contenu &r = *d.evenement.contenu;
        LienObjet lien{d.evenement.uid, 0, href, d.etag, ContenuStocke(r, e.aujourdhui).Empreinte(), {}};
        if (const qint64 num = prendNouveau(r)) {
            lien.numRappel = num;
            lien.empreinte = e.locaux.value(num).Empreinte();
            plan.liensAEcrire.append(lien);
        } else {
            plan.locales.append({OperationLocale::Ajoute, r, lien});
        }
    };
    auto envoie = [&](LienObjet lien, const Contenu &c, const QString &etag) {
        const QDateTime quand = lien.changeLocal.isValid() ? lien.changeLocal : e.maintenant;
        lien.etag = etag;
        plan.envois.append({lien, c, quand});
    };

    for (const LienObjet &l : e.liens) {
        const bool localPresent = l.numRappel > 0 && e.locaux.contains(l.numRappel);
        const Contenu loc = localPresent ? e.locaux.value(l.numRappel) : Contenu();
        const bool localChange = localPresent && loc.Empreinte() != l.empreinte;
        const auto distant = e.modifies.constFind(l.href);

        if (l.numRappel == 0) { // not a reminder last time
            if (e.supprimes.contains(l.href))
                plan.liensASupprimer.append(l);
            else if (distant != e.modifies.cend() && distant->evenement.contenu) {
                plan.liensASupprimer.append(l);
                importe(l.href, *distant);
            } else if (distant != e.modifies.cend())
                plan.liensAEcrire.append({l.uid, 0, l.href, distant->etag, {}, {}});
            continue;
        }
        if (e.supprimes.contains(l.href)) {
            if (localChange) { // a change outweighs a deletion: sent again as new
                envoie(l, loc, {});
                plan.liensASupprimer.append(l);
            } else if (localPresent)
                plan.locales.append({OperationLocale::Supprime, loc, l});
            else
                plan.liensASupprimer.append(l);
            continue;
        }
        if (distant != e.modifies.cend()) {
            if (!distant->evenement.contenu) {
                ++plan.illisibles; // left as it was on both sides
                continue;
            }
            const Contenu &r = *distant->evenement.contenu;
            LienObjet nouveau = l;
            nouveau.etag = distant->etag;
            nouveau.changeLocal = {};
            nouveau.empreinte = ContenuStocke(r, e.aujourdhui).Empreinte();
            if (!localPresent) { // deleted here, changed there: the change wins
                nouveau.numRappel = 0;
                plan.locales.append({OperationLocale::Ajoute, r, nouveau});
            } else if (!localChange || loc == r || ContenuStocke(r, e.aujourdhui) == loc) {
                if (ContenuStocke(r, e.aujourdhui) == loc)
                    plan.liensAEcrire.append(nouveau);
                else
                    plan.locales.append({OperationLocale::Remplace, r, nouveau});
            } else if (r.Empreinte() == l.empreinte) { // same content under a new tag
                envoie(l, loc, distant->etag);
            } else if (loc.MemeSaufEtats(r)) { // acknowledged on one side or both: done anywhere is done
                Contenu fusion = loc;
                for (int k = 0; k < 3; ++k)
                    fusion.cases[k].fait = loc.cases[k].fait || r.cases[k].fait;
                nouveau.empreinte = fusion.Empreinte();
                if (!(fusion == loc))
                    plan.locales.append({OperationLocale::Remplace, fusion, nouveau});
                else
                    plan.liensAEcrire.append(nouveau);
                if (!(fusion == r))
                    envoie(nouveau, fusion, distant->etag);
            } else {
                const QDateTime quandLocal = l.changeLocal.isValid() ? l.changeLocal : e.maintenant;
                const QDateTime quandDistant = distant->evenement.modifie;
                if (quandDistant.isValid() && quandDistant > quandLocal) {
                    plan.locales.append({OperationLocale::Remplace, r, nouveau});
                    plan.conflits.append(NoteConflit(loc, false, e.aujourdhui));
                } else {
                    plan.conflits.append(NoteConflit(r, true, e.aujourdhui));
                    envoie(l, loc, distant->etag);
                }
            }
            continue;
        }
        if (!localPresent)
            plan.effacements.append(l);
        else if (localChange)
            envoie(l, loc, l.etag);
    }

    for (auto it = e.modifies.cbegin(); it != e.modifies.cend(); ++it) {
        if (hrefsLies.contains(it.key()))
            continue;
        if (it->evenement.contenu)
            importe(it.key(), *it);
        else // kept aside so that it is not fetched again until it changes
            plan.liensAEcrire.append({it->evenement.uid, 0, it.key(), it->etag, {}, {}});
    }

    QSet<qint64> restants;
    for (const qint64 num : nouveaux)
        restants.insert(num);
    for (const qint64 num : restants) {
        QString uid = UidParDefaut(num);
        if (uidsPris.contains(uid))
            uid = QStringLiteral("oxi-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        uidsPris.insert(uid);
        envoie({uid, num, HrefPour(e.collection, uid), {}, {}, {}}, e.locaux.value(num), {});
    }
    return plan;
}

} // namespace oxi
