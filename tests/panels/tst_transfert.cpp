#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Echanges.h"
#include "Horloge.h"
#include "OutilsTest.h"
#include "PanneauTransfert.h"
#include "ReglagesSynchro.h"
#include "Sauvegarde.h"
#include "Schema.h"
#include "frmSynchro.h"

#include <QTest>
#include <QtWidgets>

using namespace oxi;

namespace {

// Records whether the busy pointer was still shown when a message came.
class MessagerieSablier : public MessagerieScriptee
{
public:
    void Information(const QString &texte) override
    {
        sablierPendantMessage = sablierPendantMessage || QApplication::overrideCursor() != nullptr;
        MessagerieScriptee::Information(texte);
    }
    bool sablierPendantMessage = false;
};

// A transfer panel in its 450×250 place on a fresh test database.
struct BancTransfert
{
    BancTransfert()
    {
        fenetre.resize(450, 250);
        fenetre.show();
    }
    MessagerieSablier messages;
    EnvironnementTest env;
    QWidget fenetre;
    PanneauTransfert *panneau = new PanneauTransfert(&fenetre);
};

} // namespace

// Backups, contacts in, calendars out and the exchange settings from the transfer panel, with the real windows.
class TestTransfert : public QObject
{
    Q_OBJECT
    std::unique_ptr<BancTransfert> banc;
    MessagerieSablier *messages = nullptr;
    PanneauTransfert *panneau = nullptr;
    QList<QStringList> appels;
    QString reponse;

    QString Fichier(const QByteArray &contenu)
    {
        const QString chemin = banc->env.Dossier() + "/contacts.vcf";
        QFile f(chemin);
        f.open(QIODevice::WriteOnly);
        f.write(contenu);
        return chemin;
    }

private Q_SLOTS:
    void initTestCase() { qunsetenv("DBUS_SESSION_BUS_ADDRESS"); } // no keyring here: the file takes the password
    void init()
    {
        FixeMaintenant(QDateTime(QDate(2026, 12, 5), QTime(10, 0)));
        banc = std::make_unique<BancTransfert>();
        messages = &banc->messages;
        panneau = banc->panneau;
        appels.clear();
        reponse.clear();
        // The chooser answers `reponse` and records how it was called.
        panneau->choisit = [this](const QString &depart, bool fichiers, bool centre, const QString &titre) {
            appels << QStringList{depart, fichiers ? "fichiers" : "dossiers", centre ? "centre" : "", titre};
            return reponse;
        };
        Base().Execute(
            "INSERT INTO Rappel VALUES (5,'1990-03-02','A','Martin#Paul','2026-03-02',1,'2026-02-23',0,'1800-01-01',0)");
        panneau->show(); // shown and reset, as the main window opens it
        panneau->Initialise();
    }
    void cleanup()
    {
        banc.reset();
        RetablitHorloge();
    }

    // Today's name in the program's folder or a chosen one; refusals leave the panel open and as typed.
    // The database's own name and the compaction's are refused by the backup itself (tst_base).
    void sauvegarde_data()
    {
        QTest::addColumn<QString>("nom");     // null: today's name
        QTest::addColumn<QString>("dossier"); // null: the program's folder; empty: chooser cancelled
        QTest::addColumn<QString>("message"); // null: saved
        QTest::newRow("defaults") << QString() << QString() << QString();
        QTest::newRow("chosen folder") << QString() << "sauvegardes" << QString();
        QTest::newRow("blank name") << "   " << QString() << "Saisissez un nom de sauvegarde !";
        QTest::newRow("folder chooser cancelled") << "a.bak" << QString("") << "Sélectionnez un répertoire de destination !";
        QTest::newRow("slash in the name") << "../x" << QString()
                                           << "Le nom de sauvegarde ne peut pas contenir le caractère « / » !";
    }
    void sauvegarde()
    {
        QFETCH(QString, nom);
        QFETCH(QString, dossier);
        QFETCH(QString, message);
        QCOMPARE(panneau->txtSauvName->text(), "Oxi_Sauv_05_12");
        QCOMPARE(panneau->TxtSauvDir->text(), CheminAppli());
        QString chemin = CheminAppli() + "Oxi_Sauv_05_12.dtb";
        if (!nom.isNull())
            panneau->txtSauvName->setText(nom);
        if (!dossier.isNull()) {
            QVERIFY(dossier.isEmpty() || QDir(banc->env.Dossier()).mkdir(dossier));
            reponse = dossier.isEmpty() ? QString() : banc->env.Dossier() + '/' + dossier;
            panneau->ChoisitDossierSauvegarde();
            QCOMPARE(appels, (QList<QStringList>{{CheminAppli(), "dossiers", "centre", "Sélectionnez un répertoire"}}));
            chemin = reponse + "/Oxi_Sauv_05_12.dtb";
        }
        panneau->ValideSauvegarde();
        QVERIFY(!messages->sablierPendantMessage && !QApplication::overrideCursor());
        if (message.isNull()) {
            QCOMPARE(messages->infos, QStringList{"Sauvegarde effectuée avec succès dans : \r\n" + chemin});
            QVERIFY(QFileInfo(chemin).isFile());
            QVERIFY(panneau->isHidden() && panneau->txtSauvName->text().isEmpty() && panneau->TxtSauvDir->text().isEmpty());
            return;
        }
        QCOMPARE(messages->infos.size(), 1);
        QVERIFY(messages->infos.at(0).startsWith(message));
        QVERIFY(panneau->isVisible());
        QCOMPARE(panneau->txtSauvName->text(), nom);
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Mois").Valeur(0, 0).toInt(), 6);
    }

    void restauration_data()
    {
        QTest::addColumn<QString>("fichier");
        QTest::addColumn<QStringList>("attendus");
        QTest::addColumn<int>("rappels");
        QTest::newRow("nothing chosen") << QString() << QStringList{"Sélectionnez une sauvegarde !"} << 2;
        QTest::newRow("good backup") << "bonne.dtb" << QStringList{"Restauration effectuée avec succès "} << 1;
        QTest::newRow("empty backup") << "vide.dtb" << QStringList{"La sauvegarde est vide.", "Restauration annulée."} << 2;
    }
    void restauration()
    {
        QFETCH(QString, fichier);
        QFETCH(QStringList, attendus);
        QFETCH(int, rappels);
        reponse = fichier.isEmpty() ? QString() : banc->env.Dossier() + '/' + fichier;
        if (fichier == "bonne.dtb") {
            QVERIFY(SauvegardeBase(reponse));
        } else if (fichier == "vide.dtb") {
            Connexion connexion;
            QVERIFY(connexion.Cree(reponse, CleBase));
            connexion.Execute(SchemaRappel);
            connexion.Execute(SchemaNotes);
        }
        Base().Execute("INSERT INTO Rappel SELECT 6,DateRappel,Type,Libelle,Ech1,0,Ech2,0,Ech3,0 FROM Rappel");
        panneau->ChoisitSauvegardeARestaurer();
        QCOMPARE(appels, (QList<QStringList>{{CheminAppli(), "fichiers", "centre", "Sélectionnez un répertoire"}}));
        QCOMPARE(panneau->txtRestauName->text(), reponse);
        panneau->ValideRestauration();
        QCOMPARE(messages->infos, attendus);
        QCOMPARE(OuvreRecordset("SELECT count(*) FROM Rappel").Valeur(0, 0).toInt(), rappels);
        QVERIFY(!messages->sablierPendantMessage && !QApplication::overrideCursor());
        if (fichier.isEmpty())
            return;
        // Once the panel was reset, the chosen file is forgotten.
        QVERIFY(panneau->isHidden() && panneau->txtRestauName->text().isEmpty());
        messages->Vide();
        panneau->Initialise();
        panneau->ValideRestauration();
        QCOMPARE(messages->infos, QStringList{"Sélectionnez une sauvegarde !"});
    }

    void importe()
    {
        const QString chemin = Fichier("BEGIN:VCARD\nVERSION:3.0\nN:Martin;Alain\nBDAY:1970-09-09\nEND:VCARD\n"
                                       "BEGIN:VCARD\nVERSION:3.0\nN:Sans;Date\nEND:VCARD\n");
        panneau->choisitContacts = [&](const QString &) { return chemin; };
        bool annule = true;
        QString bilan;
        panneau->confirmeImport = [&](const PlanImport &plan) -> std::optional<ChoixImport> {
            frmImportContacts f(plan);
            f.show();
            bilan = f.lblBilan->text();
            f.cboImportJ1->setCurrentIndex(7);
            f.chkImportFetes->setChecked(true);
            if (annule)
                return std::nullopt;
            return f.Choix();
        };
        panneau->ImporteFichierContacts();
        QCOMPARE(bilan, "1 anniversaire ajouté,\n0 déjà présent,\n1 contact sans date de naissance,\n0 fiche illisible.");
        QCOMPARE(LitRappelsEchange().size(), 1); // cancelled: nothing written

        annule = false;
        panneau->ImporteFichierContacts();
        QCOMPARE(LitRappelsEchange().at(1).echeances[2].date, QDate(2026, 9, 2)); // the chosen lead time
        QVERIFY(messages->infos.last().startsWith("Import terminé :"));

        // A file that is not an address book: a message, nothing asked.
        const QString image = Fichier("\x89PNG");
        panneau->choisitContacts = [&](const QString &) { return image; };
        bilan.clear();
        panneau->ImporteFichierContacts();
        QVERIFY(bilan.isEmpty());
        QVERIFY(messages->infos.last().startsWith("Ce fichier ne contient aucune fiche de contact"));
    }

    // A remote http address is refused and nothing is kept;
    // a good one is kept, its password in an owner-only file and nowhere in oxi.conf.
    void reglages()
    {
        frmSynchro fenetre(nullptr);
        fenetre.show();
        QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
        fenetre.txtAdresse->setText("http://192.0.2.1/dav/");
        fenetre.txtUtilisateur->setText("alice");
        fenetre.txtMotDePasse->setText("Motdepasse-7");
        fenetre.SynchroniseMaintenant();
        QCOMPARE(messages->infos.size(), 1);
        QVERIFY(messages->infos.first().contains("https"));
        QVERIFY(LitReglage(ReglageAdresse).isEmpty());

        fenetre.txtAdresse->setText("https://dav.exemple.org/");
        fenetre.SynchroniseMaintenant();
        QTRY_VERIFY(QFile::exists(CheminSecret()));
        QCOMPARE(LitReglage(ReglageAdresse), "https://dav.exemple.org/");
        QString erreur;
        QCOMPARE(LitSecret(&erreur), "Motdepasse-7");
        QCOMPARE(QFile::permissions(CheminSecret()) & 0x0077, 0); // nothing for the group or others
        QVERIFY(messages->infos.last().contains(CheminSecret()));
        QFile conf(banc->env.Dossier() + QString("/config/%1/%1.conf").arg(NomAppli()));
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(!conf.readAll().contains("Motdepasse-7"));
    }
};

OXI_TEST_MAIN(TestTransfert)
#include "tst_transfert.moc"
