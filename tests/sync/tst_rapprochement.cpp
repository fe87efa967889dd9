// The decisions of an exchange and the calendar objects, without network or storage.
#include "ClientCalDav.h"
#include "Contenus.h"
#include "ConversionIcs.h"
#include "Rangees.h"
#include "Rapprochement.h"

#include "OutilsTest.h"
#include <QTest>

using namespace oxi;

namespace {

const QDate Jour(2026, 6, 15);
const QDateTime Midi(Jour, QTime(12, 0), Qt::UTC);
const QString Col = "/alice/cal/";

// An object on the server, as read there.
ObjetDistant Distant(const QString &uid, const std::optional<Contenu> &c, const QString &etag, const QDateTime &modifie = {})
{
    return {etag, {uid, c, {}, modifie}};
}

// One linked reminder, number 1, href /alice/cal/1.ics, last exchanged as `echange`.
EntreeRapprochement Entree(const Contenu &echange)
{
    const LienObjet lien{"uid-1", 1, Col + "1.ics", "\"e1\"", echange.Empreinte(), QDateTime(Jour, QTime(10, 0), Qt::UTC)};
    return {{{1, echange}}, {lien}, {}, {}, Col, Jour, Midi};
}

} // namespace

class TestRapprochement : public QObject
{
    Q_OBJECT
private slots:
    // Each side's change, deletion and their meetings, as a row of expectations.
    void cas_data()
    {
        // local: 0 unchanged, 1 changed, 2 deleted; distant: 0 unchanged, 1 changed (older), 2 changed (newer),
        // 3 deleted, 4 flag only; then the local operations, conflicts, sends, deletions
        Rangees("c",
                {"rien|0|0|", "changé ici|1|0|E:\"e1\"", "supprimé ici|2|0|X:\"e1\"", "changé là-bas|0|1|R",
                 "supprimé là-bas|0|3|S", "conflit, ici plus récent|1|1|C E:\"e2\"", "conflit, là-bas plus récent|1|2|R C",
                 "changé ici, supprimé là-bas|1|3|E:", "supprimé ici, changé là-bas|2|2|A",
                 "acquitté des deux côtés|1|4|R E:\"e2\""});
    }
    void cas()
    {
        QFETCH(QStringList, c);
        const int local = c[0].toInt(), distant = c[1].toInt();
        const Contenu echange = Anniv("Dupont#Jean");
        // A side's copy: renamed, or with that side's own slot acknowledged when both acknowledge.
        const auto copie = [&](const char *nom, int slot) {
            Contenu c = echange;
            if (distant == 4)
                c.cases[slot].fait = true;
            else
                c.libelle = QString::fromUtf8(nom);
            return c;
        };
        EntreeRapprochement e = Entree(echange);
        if (local == 1)
            e.locaux[1] = copie("Dupont#Jeanne", 0);
        else if (local == 2)
            e.locaux.clear();
        const QString href = Col + "1.ics";
        if (distant == 3)
            e.supprimes.insert(href);
        else if (distant != 0)
            e.modifies.insert(href,
                              Distant("uid-1", copie("Dupont#Jeannot", 1), "\"e2\"",
                                      distant == 1 ? QDateTime(Jour, QTime(9, 0), Qt::UTC) : Midi));

        const PlanRapprochement p = Rapproche(e);
        QStringList vu;
        for (const OperationLocale &op : p.locales)
            vu << QString(QStringLiteral("ARS").at(int(op.genre)));
        vu += QStringList(p.conflits.size(), "C");
        for (const Envoi &envoi : p.envois)
            vu << "E:" + envoi.lien.etag;
        for (const LienObjet &l : p.effacements)
            vu << "X:" + l.etag;
        QCOMPARE(vu.join(' '), c[2]);

        if (distant == 4) { // done anywhere is done: both flags kept, on both sides
            QVERIFY(p.locales.first().contenu.cases[0].fait && p.locales.first().contenu.cases[1].fait);
            QCOMPARE(p.envois.first().contenu, p.locales.first().contenu);
        }
        if (!p.conflits.isEmpty()) { // the loser's text is kept, readable
            QCOMPARE(p.conflits.first().libelle, "Conflit de synchronisation");
            QVERIFY(p.conflits.first().texte.contains(distant == 2 ? "Jeanne Dupont" : "Jeannot Dupont"));
        }
    }

    // Objects the server holds that this database never exchanged.
    void nouveaux()
    {
        EntreeRapprochement e = Entree({});
        e.liens.clear();
        e.locaux = {{4, Anniv("Durand#Paul")}, {5, Anniv("Martin#Léa")}};
        // Same content as row 4 (a first exchange on a second computer): linked, not doubled.
        e.modifies.insert(Col + "a.ics", Distant("ua", Anniv("Durand#Paul"), "\"a\""));
        // New there: added here. Its UID is the one row 5 would have taken.
        e.modifies.insert(Col + "b.ics", Distant(UidParDefaut(5), Anniv("Petit#Luc"), "\"b\""));
        // A timed meeting: remembered aside, never a reminder.
        e.modifies.insert(Col + "c.ics", {"\"c\"", {"uc", std::nullopt, "x", {}}});
        const PlanRapprochement p = Rapproche(e);
        QCOMPARE((QList<qsizetype>{p.locales.size(), p.liensAEcrire.size(), p.envois.size()}), (QList<qsizetype>{1, 2, 1}));
        QCOMPARE(p.locales.first().contenu.libelle, "Petit#Luc");
        const LienObjet &envoye = p.envois.first().lien;
        QCOMPARE(envoye.numRappel, qint64(5));
        // A UID of its own, a place in the calendar, no tag: sent with If-None-Match.
        QVERIFY(envoye.uid != UidParDefaut(5) && envoye.href.startsWith(Col) && envoye.etag.isEmpty());
    }

    // A reminder goes to the server and comes back the same; objects made elsewhere follow our rules.
    void objets()
    {
        Contenu note = Note("Courses « été »", "Pain\nLait");
        note.cases = {{{}, {true, 3, true}, {}}}; // a lead time only, already seen
        for (const Contenu &c : {Anniv("Dupont#Jean", true), note}) {
            const ObjetLu lu = LitObjet(IcsDeContenu(c, "u1", Midi), Jour);
            QVERIFY2(lu.contenu, qPrintable(lu.defaut));
            QCOMPARE(*lu.contenu, c);
            QCOMPARE(std::pair(lu.uid, lu.modifie), std::pair(QString("u1"), Midi));
        }
        const auto objet = [](const QByteArray &corps) {
            return LitObjet("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:x\r\nDTSTAMP:20260101T000000Z\r\n" + corps
                                + "END:VEVENT\r\nEND:VCALENDAR\r\n",
                            Jour);
        };
        // A yearly all-day event without our mark: a note, on its day.
        const ObjetLu annuel = objet("DTSTART;VALUE=DATE:19800505\r\nRRULE:FREQ=YEARLY\r\nSUMMARY:Mariage\r\n");
        QVERIFY(annuel.contenu && annuel.contenu->type == TypeRappel::Note && annuel.contenu->cases[0].utilise);
        // A timed meeting: left aside (what the calendar reader refuses is tested with it).
        QVERIFY(!objet("DTSTART:20260505T100000Z\r\nSUMMARY:Réunion\r\n").contenu);
    }

    // Plain http only to this machine itself ("+" taken, "-" refused).
    void adresses()
    {
        for (const QString adresse : {"+https://dav.example.org/", "+http://127.0.0.1:5232/", "+http://localhost:5232/",
                                      "+http://[::1]:5232/", "+http://127.8.0.1/", "-http://dav.example.org/",
                                      "-http://192.168.1.2/", "-http://localhost.example.org/", "-ftp://127.0.0.1/"})
            QVERIFY2(RefusAdresse(QUrl(adresse.mid(1))).isEmpty() == adresse.startsWith('+'), qPrintable(adresse));
    }
};

OXI_TEST_GUILESS_MAIN(TestRapprochement)
#include "tst_rapprochement.moc"
