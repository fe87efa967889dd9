#include "Calendrier.h"
#include "Horloge.h"

#include <QTest>

extern "C" {
#include <libical/ical.h>
}

using namespace oxi;

Q_DECLARE_METATYPE(oxi::RappelStocke)

namespace {

Echeances Slots(QDate d1, bool f1, QDate d2 = DateNulle, bool f2 = true, QDate d3 = DateNulle, bool f3 = true)
{
    return Echeances{{{{d1, f1}, {d2, f2}, {d3, f3}}}};
}

RappelStocke Rappel(const QString &type, const QString &libelle, QDate date, Echeances e, const QString &texte = {})
{
    return RappelStocke{0, date, TypeDeLettre(type), libelle, e, texte};
}

// Written out as text and parsed back, as another program would read it.
ComposantIcal Relit(const ComposantIcal &evenement)
{
    char *texte = icalcomponent_as_ical_string_r(evenement.get());
    ComposantIcal relu(icalparser_parse_string(texte));
    free(texte);
    return relu;
}

QString Ligne(const ComposantIcal &evenement)
{
    char *texte = icalcomponent_as_ical_string_r(evenement.get());
    const QString s = QString::fromUtf8(texte).remove(QStringLiteral("\r\n "));
    free(texte);
    return s;
}

} // namespace

class TestCalendrier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { FixeMaintenant(QDateTime(QDate(2026, 6, 15), QTime(10, 0))); }
    void cleanup() { RetablitHorloge(); }

    void allerRetour_data()
    {
        QTest::addColumn<RappelStocke>("rappel");
        QTest::addColumn<QStringList>("lignes");
        QTest::newRow("anniversaire, deux délais, un fait")
            << Rappel("A", "Dupont#Jean", QDate(1970, 3, 10),
                      Slots(QDate(2026, 3, 10), true, QDate(2026, 3, 3), true, QDate(2026, 2, 8), false))
            << QStringList{"DTSTART;VALUE=DATE:19700310",
                           "RRULE:FREQ=YEARLY",
                           "X-OXI-TYPE:A",
                           "SUMMARY:Anniversaire de Jean Dupont (1970)",
                           "TRIGGER:-P7D",
                           "TRIGGER:PT0S"};
        QTest::newRow("29 février, année connue")
            << Rappel("A", "Martin#Léa", QDate(1996, 2, 29), Slots(QDate(2026, 3, 1), false, QDate(2026, 2, 22), false))
            << QStringList{"RRULE:FREQ=YEARLY;BYYEARDAY=60", "DTSTART;VALUE=DATE:19960229",
                           "SUMMARY:Anniversaire de Léa Martin (1996)"};
        QTest::newRow("année inconnue, voyelle, délai sur l'an passé")
            << Rappel("A", "Étienne#Anne-Sophie", QDate(1850, 1, 5), Slots(DateNulle, true, QDate(2025, 12, 6), true))
            << QStringList{"DTSTART;VALUE=DATE:18500105", "SUMMARY:Anniversaire d'Anne-Sophie Étienne", "TRIGGER:-P30D"};
        QTest::newRow("nom seul avec signes")
            << Rappel("A", "O'Neil, \"Bob\"; dit \\ Bobby#", QDate(1950, 12, 31), Slots(QDate(2026, 12, 31), false))
            << QStringList{"SUMMARY:Anniversaire d'O'Neil\\, \"Bob\"\\; dit \\\\ Bobby (1950)"};
        QTest::newRow("retour à la ligne dans un libellé restauré")
            << Rappel("F", "Jean\nMarie", QDate(2025, 9, 9), Slots(QDate(2026, 9, 9), false)) << QStringList{"X-OXI-TYPE:F"};
        QTest::newRow("fête, délai seul") << Rappel("F", "Jean Marie", QDate(2025, 9, 9),
                                                    Slots(DateNulle, true, DateNulle, true, QDate(2026, 9, 8), false))
                                          << QStringList{"SUMMARY:Fête des Jean Marie", "X-OXI-TYPE:F", "TRIGGER:-P1D",
                                                         "X-OXI-ECHEANCE:3"};
        QTest::newRow("note d'une autre année, texte sur plusieurs lignes")
            << Rappel("N", "Impôts", QDate(2027, 5, 10),
                      Slots(QDate(2026, 5, 10), true, QDate(2026, 4, 9), true, QDate(2026, 5, 9), true),
                      "Déclarer en ligne,\nsans faute; 100 % 😀")
            << QStringList{"DTSTART;VALUE=DATE:20270510", "SUMMARY:Impôts",
                           "DESCRIPTION:Déclarer en ligne\\,\\nsans faute\\; 100 % 😀", "ACKNOWLEDGED:20260511T000000Z"};
        QTest::newRow("note sans échéance ni texte")
            << Rappel("N", "Sans titre", QDate(2026, 7, 1), Slots(DateNulle, true)) << QStringList{"X-OXI-TYPE:N"};
    }

    // Every field comes back, through the text of the file; the text is what other calendars read.
    void allerRetour()
    {
        QFETCH(RappelStocke, rappel);
        QFETCH(QStringList, lignes);
        const ComposantIcal evenement = ConvertitRappel(rappel, UidRappel(42));
        const QString texte = Ligne(evenement);
        for (const QString &ligne : lignes)
            QVERIFY2(texte.contains(ligne + QStringLiteral("\r\n")), qPrintable(ligne + QStringLiteral(" absent de\n") + texte));
        QCOMPARE(texte.contains(QStringLiteral("RRULE")), rappel.type != TypeRappel::Note);
        int alarmes = 0;
        for (int k = 1; k <= 3; ++k)
            alarmes += rappel.echeances[k].date != DateNulle;
        QCOMPARE(texte.count(QStringLiteral("BEGIN:VALARM")), alarmes);

        ComposantIcal relu = Relit(evenement);
        QVERIFY(relu);
        QCOMPARE(icalcomponent_count_errors(relu.get()), 0);
        QCOMPARE(NumeroUid(QString::fromUtf8(icalcomponent_get_uid(relu.get()))), std::optional<qint64>(42));
        QString raison;
        const auto retour = LitEvenement(relu.get(), &raison);
        QVERIFY2(retour, qPrintable(raison));
        QCOMPARE(*retour, rappel);
    }

    // Events written by other programs or changed on a phone: what is read, or why not.
    void evenementsEtrangers_data()
    {
        QTest::addColumn<QString>("vevent");
        QTest::addColumn<QString>("attendu"); // type, title, date, then "dd/MM done" per slot ("-" unused); or the reason
        QTest::newRow("anniversaire renommé sur le téléphone")
            << "DTSTART;VALUE=DATE:19700310\nRRULE:FREQ=YEARLY\nSUMMARY:Anniversaire de Jean-Paul Durand (1970)\n"
               "X-OXI-TYPE:A\nX-OXI-LIBELLE:Dupont#Jean\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-PT15M\nDESCRIPTION:x\nEND:VALARM\n"
            << "A Durand#Jean-Paul 1970-03-10 - 09/03 0 -";
        QTest::newRow("rendez-vous d'un autre agenda")
            << "DTSTART:20260820T140000Z\nSUMMARY:Dentiste\nDESCRIPTION:Cabinet\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-P2D\nACKNOWLEDGED:20260818T080000Z\nDESCRIPTION:x\nEND:VALARM\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:PT9H\nDESCRIPTION:x\nEND:VALARM\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-P40D\nDESCRIPTION:x\nEND:VALARM\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER;VALUE=DATE-TIME:20260801T080000Z\nDESCRIPTION:x\nEND:VALARM\n"
               "BEGIN:VALARM\nACTION:DISPLAY\nTRIGGER:-P1D\nACKNOWLEDGED:20250819T080000Z\nDESCRIPTION:x\nEND:VALARM\n"
            << "N Dentiste 2026-08-20 20/08 0 19/08 0 18/08 1";
        QTest::newRow("anniversaire sans année d'un téléphone") << "DTSTART;VALUE=DATE:16040310\nRRULE:FREQ=YEARLY\nSUMMARY:Léa\n"
                                                                << "A Léa# 1850-03-10 - - -";
        QTest::newRow("type inconnu") << "DTSTART;VALUE=DATE:20260101\nSUMMARY:x\nX-OXI-TYPE:Z\n"
                                      << "type inconnu";
        QTest::newRow("sans date") << "SUMMARY:Réunion\n"
                                   << "pas de date";
        QTest::newRow("titre de note trop long") << "DTSTART;VALUE=DATE:20260101\nSUMMARY:" + QString(51, 'x') + "\n"
                                                 << "dépasse 50";
        QTest::newRow("fête sans prénom") << "DTSTART;VALUE=DATE:20260101\nRRULE:FREQ=YEARLY\nSUMMARY:Fête des \nX-OXI-TYPE:F\n"
                                          << "pas de titre";
    }

    void evenementsEtrangers()
    {
        QFETCH(QString, vevent);
        QFETCH(QString, attendu);
        const QString texte =
            QStringLiteral("BEGIN:VEVENT\nUID:x@y\nDTSTAMP:20260101T000000Z\n") + vevent + QStringLiteral("END:VEVENT\n");
        ComposantIcal evenement(icalparser_parse_string(texte.toUtf8().constData()));
        QVERIFY(evenement);
        QString pourquoi;
        const auto rappel = LitEvenement(evenement.get(), &pourquoi);
        QCOMPARE(NumeroUid(QString::fromUtf8(icalcomponent_get_uid(evenement.get()))), std::nullopt); // not one of ours
        if (!rappel) {
            QVERIFY2(pourquoi.contains(attendu), qPrintable(pourquoi));
            return;
        }
        QStringList lu{rappel->type ? LettreType(*rappel->type) : QStringLiteral("?"), rappel->libelle,
                       rappel->dateRappel.toString(Qt::ISODate)};
        for (int k = 1; k <= 3; ++k) {
            const Echeance &e = rappel->echeances[k];
            lu << (e.date == DateNulle ? QStringLiteral("-")
                                       : e.date.toString(QStringLiteral("dd/MM ")) + QString::number(e.fait));
        }
        QCOMPARE(lu.join(QLatin1Char(' ')), attendu);
    }
};

QTEST_GUILESS_MAIN(TestCalendrier)
#include "tst_calendrier.moc"
