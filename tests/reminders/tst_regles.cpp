// The reminder rules as plain tables: no database, no window.
#include "Echeances.h"
#include "Rappels.h"
#include "TexteLignes.h"
#include "TexteRappel.h"

#include "OutilsTest.h"
#include "Plateforme.h"
#include <QTest>

using namespace oxi;

class TestRegles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Every slot state around today; an unreadable date reads as an unused slot.
    void conditionDEcheance_data()
    {
        QTest::addColumn<int>("k");
        QTest::addColumn<int>("decalage"); // 99999: unused, 88888: unreadable
        QTest::addColumn<bool>("fait");
        QTest::addColumn<bool>("du");
        for (int k = 1; k <= 3; ++k) {
            const QByteArray s = "Ech" + QByteArray::number(k);
            QTest::newRow(s + " aujourd'hui, à faire") << k << 0 << false << true;
            // Only the event day is listed again after acknowledgement.
            QTest::newRow(s + " aujourd'hui, fait") << k << 0 << true << (k == 1);
            QTest::newRow(s + " manqué, à faire") << k << -1 << false << true;
            QTest::newRow(s + " manqué l'an passé") << k << -400 << false << true;
            QTest::newRow(s + " manqué, fait") << k << -1 << true << false;
            QTest::newRow(s + " demain") << k << 1 << false << false;
            QTest::newRow(s + " inutilisé, à faire") << k << 99999 << false << false;
            QTest::newRow(s + " illisible, à faire") << k << 88888 << false << false;
        }
    }
    void conditionDEcheance()
    {
        QFETCH(int, k);
        QFETCH(int, decalage);
        QFETCH(bool, fait);
        const QDate auj(2026, 3, 15);
        Echeances e;
        for (Echeance &s : e.ech)
            s = {DateNulle, true};
        e[k] = {decalage == 99999 ? DateNulle : decalage == 88888 ? QDate() : auj.addDays(decalage), fait};
        QTEST(EstDu(e, auj), "du");
    }

    // Re-arming of one stored slot; what cannot be read stays as it was.
    void rearmement_data()
    {
        QTest::addColumn<QString>("stockee");
        QTest::addColumn<QString>("rearmee"); // empty: left as it was
        QTest::newRow("date ordinaire") << "2025-06-01"
                                        << "2026-06-01";
        QTest::newRow("29 février") << "2024-02-29"
                                    << "2025-03-01";
        QTest::newRow("1er mars reste 1er mars") << "2025-03-01"
                                                 << "2026-03-01";
        QTest::newRow("décembre") << "2025-12-31"
                                  << "2026-12-31";
        QTest::newRow("sans date") << "1800-01-01"
                                   << "";
        QTest::newRow("sans zéros") << "2025-6-1"
                                    << "";
        QTest::newRow("30 février") << "2027-02-30"
                                    << "";
        QTest::newRow("texte") << "abc"
                               << "";
        QTest::newRow("vide") << ""
                              << "";
        QTest::newRow("heure jointe") << "2025-06-01T10:00"
                                      << "";
        QTest::newRow("an 9999") << "9999-06-01"
                                 << "";
    }
    void rearmement()
    {
        QFETCH(QString, stockee);
        QFETCH(QString, rearmee);
        QCOMPARE(EcheanceRearmee(stockee).value_or(QString()), rearmee);
    }

    void textesDesRappels_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("libelle");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QDate>("ech2");
        QTest::addColumn<QDate>("ech3");
        QTest::addColumn<QDate>("aujourdhui");
        QTest::addColumn<QString>("ligneDate"); // "-": cannot be shown
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("lignes");
        QTest::newRow("âge inconnu") << "A"
                                     << "Durand#Zoé" << QDate(1850, 11, 3) << DateNulle << DateNulle << QDate(2026, 11, 3)
                                     << "Aujourd'hui,"
                                     << "Zoé Durand (âge inconnu)" << 1;
        // A January event shown through a December lead time: next year's weekday and age.
        QTest::newRow("janvier vu en décembre")
            << "A"
            << "Roy#Ana" << QDate(2000, 1, 2) << QDate(2026, 12, 26) << DateNulle << QDate(2026, 12, 26) << "Le samedi 2 janvier,"
            << "Ana Roy : 27 ans." << 1;
        QTest::newRow("janvier par le second délai") << "A"
                                                     << "Petit#Jules" << QDate(2001, 1, 4) << DateNulle << QDate(2026, 12, 28)
                                                     << QDate(2026, 12, 28) << "Le lundi 4 janvier,"
                                                     << "Jules Petit : 26 ans." << 1;
        QTest::newRow("29 février, année commune")
            << "A"
            << "Leroy#Max" << QDate(1996, 2, 29) << DateNulle << DateNulle << QDate(2026, 3, 1) << "Aujourd'hui,"
            << "Max Leroy : 30 ans." << 1;
        QTest::newRow("fête à venir") << "F"
                                      << "Martin" << QDate(2026, 11, 11) << QDate(2026, 11, 3) << DateNulle << QDate(2026, 11, 3)
                                      << "Le mercredi 11 novembre,"
                                      << "Martin" << 1;
        QTest::newRow("note") << "N"
                              << "Vidange" << QDate(2026, 11, 1) << DateNulle << DateNulle << QDate(2026, 11, 3)
                              << "Le dimanche 1 novembre,"
                              << "Vidange\r\n\r\nGarage à 9 h" << 3;
        QTest::newRow("date illisible") << "F"
                                        << "Louise" << QDate() << DateNulle << DateNulle << QDate(2026, 3, 1) << "-"
                                        << "" << 0;
        QTest::newRow("type inconnu") << "X"
                                      << "Louise" << QDate(2026, 3, 1) << DateNulle << DateNulle << QDate(2026, 3, 1) << "-"
                                      << "" << 0;
    }
    void textesDesRappels()
    {
        QFETCH(QString, type);
        QFETCH(QString, libelle);
        QFETCH(QDate, date);
        QFETCH(QDate, ech2);
        QFETCH(QDate, ech3);
        QFETCH(QDate, aujourdhui);
        QFETCH(QString, ligneDate);
        RappelStocke r;
        r.type = TypeDeLettre(type);
        r.libelle = libelle;
        r.dateRappel = date;
        r.echeances[2].date = ech2;
        r.echeances[3].date = ech3;
        r.texte = QStringLiteral("Garage à 9 h");
        const std::optional<TexteRappel> t = ComposeRappel(r, aujourdhui);
        QCOMPARE(t.has_value(), ligneDate != QLatin1String("-"));
        if (!t)
            return;
        QCOMPARE(t->type, *r.type);
        QCOMPARE(t->ligneDate, ligneDate);
        QTEST(t->message, "message");
        QTEST(t->nbLignes, "lignes");
    }

    void carteDuRappel_data()
    {
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("libelle");
        QTest::addColumn<QString>("adresse");
        QTest::newRow("anniversaire")
            << "A"
            << "Martin#Léa"
            << "mailto:?subject=Joyeux%20anniversaire%20L%C3%A9a%20%21&body=Joyeux%20anniversaire%20L%C3%A9a%20%21";
        QTest::newRow("sans prénom")
            << "A"
            << "Martin"
            << "mailto:?subject=Joyeux%20anniversaire%20Martin%20%21&body=Joyeux%20anniversaire%20Martin%20%21";
        QTest::newRow("fête")
            << "F"
            << "Jean & Luc"
            << "mailto:?subject=Bonne%20f%C3%AAte%20Jean%20%26%20Luc%20%21&body=Bonne%20f%C3%AAte%20Jean%20%26%20Luc%20%21";
        QTest::newRow("note") << "N"
                              << "Vidange"
                              << "mailto:";
    }
    void carteDuRappel()
    {
        QFETCH(QString, type);
        QFETCH(QString, libelle);
        QFETCH(QString, adresse);
        QCOMPARE(AdresseCarte(SalutationCarte(*TypeDeLettre(type), libelle)), adresse);
    }

    // A blank at a line's end stays on that line; after a full line it opens the next.
    void decoupageDesLignes()
    {
        double lignes = 7;
        QString texte = "abc def ghi";
        QCOMPARE(DecoupeLignes(texte, 5, lignes), QStringLiteral("abc \r\ndef \r\nghi"));
        QCOMPARE(lignes, 3.0);
        QVERIFY(texte.isEmpty());
        texte = "abcde fgh";
        QCOMPARE(DecoupeLignes(texte, 5, lignes), QStringLiteral("abcde\r\n fgh"));
        QCOMPARE(lignes, 2.0);
        texte = "abcdefg"; // a word longer than a line is cut
        QCOMPARE(DecoupeLignes(texte, 5, lignes), QStringLiteral("abcde\r\nfg"));
        // Line breaks typed in a text box (LF), stored by older versions (CR LF), or a lone CR.
        for (const auto &[note, attendu] :
             QList<std::pair<QString, double>>{{"a\nb\nc", 3}, {"a\r\nb\r\nc", 3}, {"a\rb", 2}, {"a\n\nb", 3}}) {
            lignes = 0;
            CompteLignes(note, 55, lignes);
            QCOMPARE(lignes, attendu);
        }
    }

    void fileDesRappelsDus()
    {
        FileRappels file;
        QVERIFY(!file.Remplace({}));
        QCOMPARE(file.Suivant(), std::nullopt);
        const qint64 grand = (qint64(1) << 32) + 1;
        QVERIFY(file.Remplace({3, grand}));
        file.MarqueAffiche();
        QCOMPARE(file.Suivant(), std::optional<qint64>(grand));
        QCOMPARE(file.NonAffiches(), 1);
        // A scan that finds nothing leaves the list to the popup still open.
        QVERIFY(!file.Remplace({}));
        QCOMPARE(file.Taille(), 2);
    }
};

OXI_TEST_GUILESS_MAIN(TestRegles)
#include "tst_regles.moc"
