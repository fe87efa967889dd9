// The reminder rules as plain tables: no database, no window.
#include "Echeances.h"
#include "EcritureRappels.h"
#include "Horloge.h"
#include "Rappels.h"
#include "TablesRappels.h"
#include "TexteLignes.h"
#include "TexteRappel.h"

#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Plateforme.h"
#include "Rangees.h"
#include <QTest>

using namespace oxi;

class TestRegles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each slot state around today, tried in each slot: days from today ("inutilisé", "illisible": read as unused),
    // done, due in Ech1, due in Ech2 and Ech3 (only the event day is listed again once done).
    void conditionDEcheance_data()
    {
        Rangees("c",
                {"aujourd'hui, à faire|0|0|1|1", "aujourd'hui, fait|0|1|1|0", "manqué, à faire|-1|0|1|1",
                 "manqué l'an passé|-400|0|1|1", "manqué, fait|-1|1|0|0", "demain|1|0|0|0", "inutilisé, à faire|inutilisé|0|0|0",
                 "illisible, à faire|illisible|0|0|0"});
    }
    void conditionDEcheance()
    {
        QFETCH(QStringList, c);
        const QDate auj(2026, 3, 15);
        for (int k = 1; k <= 3; ++k) {
            Echeances e;
            for (Echeance &s : e.ech)
                s = {DateNulle, true};
            e[k] = {c[0] == "inutilisé" ? DateNulle : c[0] == "illisible" ? QDate() : auj.addDays(c[0].toInt()), c[1] == "1"};
            QVERIFY2(EstDu(e, auj) == (c[k == 1 ? 2 : 3] == "1"), qPrintable(QString("Ech%1").arg(k)));
        }
    }

    // Re-arming of one stored slot, "stored|re-armed"; what cannot be read stays as it was (nothing after "|").
    void rearmement()
    {
        for (const QString cas :
             {"2025-06-01|2026-06-01", "2024-02-29|2025-03-01", "2025-03-01|2026-03-01", "2025-12-31|2026-12-31", "1800-01-01|",
              "2025-6-1|", "2027-02-30|", "abc|", "|", "2025-06-01T10:00|", "9999-06-01|"})
            QCOMPARE(EcheanceRearmee(cas.section('|', 0, 0)).value_or(QString()), cas.section('|', 1));
    }

    // One reminder and the day it is shown; no date line when it cannot be shown.
    void textesDesRappels_data()
    {
        // type, label, event day, Ech2, Ech3 (empty: unused), today, date line, message, lines
        Rangees("c",
                {"âge inconnu|A|Durand#Zoé|1850-11-03|||2026-11-03|Aujourd'hui,|Zoé Durand (âge inconnu)|1",
                 // A January event shown through a December lead time: next year's weekday and age.
                 "janvier vu en décembre|A|Roy#Ana|2000-01-02|2026-12-26||2026-12-26|Le samedi 2 janvier,|Ana Roy : 27 ans.|1",
                 "janvier par le second délai|A|Petit#Jules|2001-01-04||2026-12-28|2026-12-28|Le lundi 4 janvier,|"
                 "Jules Petit : 26 ans.|1",
                 "29 février, année commune|A|Leroy#Max|1996-02-29|||2026-03-01|Aujourd'hui,|Max Leroy : 30 ans.|1",
                 "note|N|Vidange|2026-11-01|||2026-11-03|Le dimanche 1 novembre,|Vidange\r\n\r\nGarage à 9 h|3",
                 "date illisible|F|Louise|x|||2026-03-01", "type inconnu|X|Louise|2026-03-01|||2026-03-01"});
    }
    void textesDesRappels()
    {
        QFETCH(QStringList, c);
        const auto date = [](const QString &s) { return s.isEmpty() ? DateNulle : QDate::fromString(s, Qt::ISODate); };
        const Echeances e = Slots(DateNulle, false, date(c[3]), false, date(c[4]), false);
        const RappelStocke r{0, date(c[2]), TypeDeLettre(c[0]), c[1], e, QStringLiteral("Garage à 9 h")};
        const std::optional<TexteRappel> t = ComposeRappel(r, date(c[5]));
        QCOMPARE(t.has_value(), c.size() > 6);
        if (t) {
            QCOMPARE(t->type, *r.type);
            QCOMPARE((QStringList{t->ligneDate, t->message, QString::number(t->nbLignes)}), c.mid(6));
        }
    }

    // The greeting's address escapes what a mail address must ("&", accents); a note has none. A birthday's
    // whole address is the end-to-end run's.
    void carteDuRappel()
    {
        QCOMPARE(AdresseCarte(SalutationCarte(TypeRappel::Fete, "Jean & Luc")),
                 "mailto:?subject=Bonne%20f%C3%AAte%20Jean%20%26%20Luc%20%21&body=Bonne%20f%C3%AAte%20Jean%20%26%20Luc%20%21");
        QCOMPARE(AdresseCarte(SalutationCarte(TypeRappel::Note, "Vidange")), "mailto:");
    }

    // A blank at a line's end stays on that line; after a full line it opens the next; a word longer than a line is cut.
    void decoupageDesLignes()
    {
        double lignes = 7;
        for (const auto &[avant, apres, nombre] : QList<std::tuple<QString, QString, double>>{
                 {"abc def ghi", "abc \r\ndef \r\nghi", 3}, {"abcde fgh", "abcde\r\n fgh", 2}, {"abcdefg", "abcde\r\nfg", 2}}) {
            QString texte = avant;
            QCOMPARE(DecoupeLignes(texte, 5, lignes), apres);
            QCOMPARE(lignes, nombre);
            QVERIFY(texte.isEmpty());
        }
        // Line breaks typed in a text box (LF), stored by older versions (CR LF), or a lone CR.
        for (const auto &[note, attendu] :
             QList<std::pair<QString, double>>{{"a\nb\nc", 3}, {"a\r\nb\r\nc", 3}, {"a\rb", 2}, {"a\n\nb", 3}}) {
            lignes = 0;
            CompteLignes(note, 55, lignes);
            QCOMPARE(lignes, attendu);
        }
    }

    // The lists' exchange sort: letter case aside, accents after Z, dates as dates, equal keys reversed.
    void triParEchange()
    {
        const std::tuple<QStringList, bool, QList<qint64>> cas[] = {
            {{"B", "B", "A"}, false, {3, 2, 1}},
            {{"Émile", "Zoé", "dupont", "Dupont", "alain"}, false, {5, 4, 3, 2, 1}},
            {{"2027-03-05", "2026-04-10", "1990-12-31"}, true, {3, 2, 1}}};
        for (const auto &[cles, dates, ordre] : cas) {
            Tableau t{{}, dates ? QList<int>{1} : QList<int>{}};
            for (const QString &cle : cles)
                t.lignes.append({{cle}, int(t.lignes.size()) + 1});
            TrieTableau(t, 1);
            QCOMPARE(Numeros(t), ordre);
        }
    }

    // A name day typed as "Name - day month": upper case and compound names read, impossible days refused.
    void textesDesFetes()
    {
        for (const QString cas : {"Jean Marie - 9 SEPTEMBRE|2026-09-09", "Alain 9 septembre|2026", "Romain - 29 février|2026",
                                  "Romain - 29 février|2028-02-29", "Léa - 31 avril|2026"}) {
            const QString date = cas.section('|', 1); // the year, or the date read in that year
            const std::optional<SaisieFete> fete = LitTexteFete(cas.section('|', 0, 0), date.left(4).toInt());
            QCOMPARE(fete ? fete->dateFete.toString(Qt::ISODate) : date.left(4), date);
        }
    }

    void texteDAnniversaire()
    {
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        QCOMPARE(TexteAnniversaire(QDate(1975, 3, 12)), QStringLiteral("12 mars (51 ans)"));
        QCOMPARE(TexteAnniversaire(QDate(1850, 3, 12)), QStringLiteral("12 mars"));
        RetablitHorloge();
    }

    // A scan that finds nothing leaves the list to the popup still open.
    void fileDesRappelsDus()
    {
        FileRappels file;
        QVERIFY(file.Remplace({3, 4}) && !file.Remplace({}));
        QCOMPARE(file.Taille(), 2);
    }
};

OXI_TEST_GUILESS_MAIN(TestRegles)
#include "tst_regles.moc"
