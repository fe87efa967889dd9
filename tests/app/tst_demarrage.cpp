// The program's start, its keys and its menu, and the small windows they open.
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Demarrage.h"
#include "Dialogues.h"
#include "OutilsTest.h"
#include "PlateformeTest.h"
#include "Polices.h"
#include "Region.h"
#include "Reglages.h"
#include "VerrouInstance.h"
#include "frmAbout.h"
#include "frmAccueil.h"
#include "frmPremiereFois.h"
#include "frmRegistre.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QTest>

using namespace oxi;

class TestDemarrage : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    std::unique_ptr<PlateformeTest> plateforme;
    std::unique_ptr<Programme> programme;
    Dialogues dialogues;

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setQuitOnLastWindowClosed(false);
        InstallePolices();
    }
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FermeBase();
        plateforme = std::make_unique<PlateformeTest>();
        InstallePlateforme(plateforme.get());
        programme = std::make_unique<Programme>();
    }
    void cleanup()
    {
        programme->Quitte();
        programme.reset();
        dialogues.Ferme();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallePlateforme(nullptr);
        delete env;
        delete messages;
    }

    // The second instance's refusal; that it leaves the files alone is the end-to-end run's.
    void secondeInstanceRefusee()
    {
        plateforme->verrouLibre = false;
        QVERIFY(!programme->Demarre());
        QCOMPARE(messages->infos,
                 QStringList{"Oxi est déjà en cours d'exécution.\r\nPour accéder au menu, cliquez sur l'icône "
                             "dans la zone de notification"});
        QVERIFY(!Base().EstOuverte() && !programme->Fenetre());
    }

    // The lock's place, with and without a runtime folder, and a folder that cannot be written;
    // two starts racing for it are the end-to-end run's.
    void verrouParFichier()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", env->Dossier().toUtf8());
        QCOMPARE(CheminVerrouInstance("oxi"), env->Dossier() + "/oxi.lock");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString repli = CheminVerrouInstance("oxi");
        QVERIFY(repli.endsWith("/oxi.lock"));
        QVERIFY(VerrouInstance(repli).Prend());
        // Not a lock held by someone.
        VerrouInstance ailleurs("/proc/oxi.lock");
        QVERIFY(!ailleurs.Prend() && ailleurs.Impossible());
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);
    }

    // French of four countries starts (Canada's weeks begin on Sunday); Swiss French and others say why not.
    void parametresRegionaux_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("premierJour");
        QTest::addColumn<QString>("message"); // empty: started
        const QString standard =
            "\r\nPour utiliser Oxi, vous devez les modifier en Français Standard (cf. paramètres régionaux du système).";
        QTest::newRow("France") << "fr_FR.UTF-8" << 2 << QString();
        QTest::newRow("Belgique") << "fr_BE" << 2 << QString();
        QTest::newRow("Canada") << "fr_CA.UTF-8" << 1 << QString();
        QTest::newRow("Luxembourg") << "fr_LU" << 2 << QString();
        QTest::newRow("Suisse") << "fr_CH" << 0
                                << "Oxi ne fonctionne pas si vos paramètres régionaux sont de type Français Suisse." + standard;
        QTest::newRow("anglais") << "en_US" << 0
                                 << "Oxi ne fonctionne pas si vos paramètres régionaux ne sont pas de type Français." + standard;
    }
    void parametresRegionaux()
    {
        QFETCH(QString, locale);
        QFETCH(QString, message);
        plateforme->langue = IdentifiantPourLocale(locale);
        EcritReglage(ReglagePremiereFois, "1");
        QCOMPARE(programme->Demarre(), message.isEmpty());
        QCOMPARE(messages->infos, message.isEmpty() ? QStringList() : QStringList{message});
        if (message.isEmpty())
            QTEST(PremierJourSemaine(), "premierJour");
    }

    void baseAbimeeSignaleeAvantLaRegion()
    {
        QFile fichier(env->CheminBase());
        QVERIFY(fichier.open(QIODevice::WriteOnly | QIODevice::Truncate) && fichier.write(QByteArray(4096, '\x11'))
                && fichier.flush());
        plateforme->langue.clear();
        QVERIFY(!programme->Demarre());
        QCOMPARE(messages->critiques, QStringList{"Echec de la connection ! "});
        QVERIFY(messages->infos.isEmpty());
    }

    // Only the exact text "1" marks a later start; otherwise the program registers itself again
    // (the entry's text is the end-to-end run's).
    void premierDemarrageInscritLeDemarrageAuto()
    {
        for (const QString valeur : {"", "1", "1 "}) {
            programme->Quitte();
            plateforme->SupprimeDemarrage(NomAppli());
            EcritReglage(ReglagePremiereFois, valeur);
            QVERIFY(programme->Demarre());
            QCOMPARE(plateforme->TestDemarrage(NomAppli()), valeur != QLatin1String("1"));
            QVERIFY(programme->Fenetre());
        }
    }

    void touchesDeFonction()
    {
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre());
        frmAccueil *fenetre = programme->Fenetre();
        QTest::keyClick(fenetre, Qt::Key_F9);
        QVERIFY(plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F10);
        QVERIFY(!plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F11);
        QCOMPARE(LitReglage(ReglagePremiereFois), "0");
        // F8 opens the stored-settings window; the exit closes it with the rest.
        const auto registreOuvert = [] {
            const QWidgetList fenetres = QApplication::topLevelWidgets();
            return std::any_of(fenetres.begin(), fenetres.end(),
                               [](QWidget *w) { return w->objectName() == QLatin1String("frmRegistre") && w->isVisible(); });
        };
        QTest::keyClick(fenetre, Qt::Key_F8);
        QVERIFY(registreOuvert());
        programme->Quitte();
        QVERIFY(!registreOuvert());
        QCOMPARE(messages->infos,
                 (QStringList{
                     "Oxi se lancera automatiquement au démarrage.\r\nAppuyez sur F10 pour empêcher ce démarrage automatique.",
                     "Oxi ne se lancera plus automatiquement au démarrage.\r\nAppuyez sur F9 pour relancer automatiquement.",
                     "La fenêtre 'Première utilisation' sera affichée au prochain démarrage de Oxi."}));
    }

    void baseAbsenteDemarreQuandMeme()
    {
        QFile::remove(env->CheminBase());
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre());
        QVERIFY(NomBase().isEmpty());
        QVERIFY(programme->Fenetre());
    }

    void menuDeLIconeEnSixEntrees()
    {
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre());
        auto *menu = programme->Fenetre()->findChild<QMenu *>("mnuFichiers");
        QVERIFY(menu);
        QStringList textes;
        for (QAction *action : menu->actions())
            textes << (action->isSeparator() ? "-" : action->text());
        QCOMPARE(textes, (QStringList{"&Paramétrer", "-", "&Ephémérides", "&Aide", "A propo&s", "&Quitter"}));
        // "&Aide" with no browser: the message gives the help file's path.
        plateforme->documentOuvrable = false;
        menu->actions().at(3)->trigger();
        QCOMPARE(messages->infos,
                 QStringList{"Oxi n'a pas pu ouvrir l'aide dans votre navigateur.\r\nVous la trouverez dans le fichier : "
                             + CheminAide()});
    }

    // Through characters a desktop entry must escape; a moved program leaves a stale entry that reads as off.
    void demarrageAutoNommantLeProgramme()
    {
        PlateformeLinux linux_;
        const QString exe = env->Dossier() + "/100% \"à moi\" $HOME `x` \\ é/oxi";
        QDir().mkpath(QFileInfo(exe).absolutePath());
        linux_.AjouteDemarrage("oxi", exe);
        QVERIFY(!linux_.TestDemarrage("oxi"));
        QFile(exe).open(QIODevice::WriteOnly);
        QVERIFY(linux_.TestDemarrage("oxi"));
        QFile::remove(exe);
        QVERIFY(!linux_.TestDemarrage("oxi"));
        linux_.SupprimeDemarrage("oxi");
        QVERIFY(!QFile::exists(CheminDemarrage("oxi")));
    }

    void caseDeFermetureCacheOuReduit()
    {
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre());
        frmAccueil *fenetre = programme->Fenetre();
        // Offscreen has no notification area: the window opened and its close box minimises.
        QVERIFY(fenetre->isVisible());
        fenetre->close();
        QVERIFY(fenetre->isMinimized() || fenetre->isVisible());
        fenetre->FixeSansZoneNotification(false);
        fenetre->showNormal();
        fenetre->close();
        QVERIFY(!fenetre->isVisible());
    }

    // The small windows ------------------------------------------------------------------------------
    // The setting is written only when the box is clear at closing, however the window closes.
    void reglageDePremiereUtilisation_data()
    {
        QTest::addColumn<QList<bool>>("clics");
        QTest::addColumn<bool>("parQuitter");
        QTest::addColumn<QString>("apres");
        QTest::newRow("closed untouched") << QList<bool>{} << false << QString();
        QTest::newRow("box cleared") << QList<bool>{false} << false << "1";
        QTest::newRow("cleared then ticked again") << QList<bool>{false, true} << false << QString();
        QTest::newRow("box cleared, program quit") << QList<bool>{false} << true << "1";
    }
    void reglageDePremiereUtilisation()
    {
        QFETCH(QList<bool>, clics);
        QFETCH(bool, parQuitter);
        QFETCH(QString, apres);
        dialogues.AffichePremiereFois();
        dialogues.AffichePremiereFois();
        QList<QPointer<frmPremiereFois>> fenetres;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<frmPremiereFois *>(w); f && f->isVisible())
                fenetres << f;
        QCOMPARE(fenetres.size(), 1);
        QPointer<frmPremiereFois> fenetre = fenetres.at(0);
        QVERIFY(fenetre->chkRappel->isChecked());
        for (bool coche : clics) {
            QTest::mouseClick(fenetre->chkRappel, Qt::LeftButton, {}, QPoint(8, fenetre->chkRappel->height() / 2));
            QCOMPARE(fenetre->chkRappel->isChecked(), coche);
        }
        if (parQuitter)
            dialogues.Ferme();
        else
            QVERIFY(fenetre->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!fenetre);
        QCOMPARE(LitReglage(ReglagePremiereFois), apres);
    }

    // The help picture brings the main window forward, whose help key opens the help; this window stays.
    void imageDAideAmeneLaFenetreEtSonAide()
    {
        EcritReglage(ReglagePremiereFois, "1");
        QVERIFY(programme->Demarre());
        programme->Fenetre()->hide();
        frmPremiereFois fenetre;
        fenetre.show();
        fenetre.MontreAide();
        QCoreApplication::sendPostedEvents();
        QVERIFY(programme->Fenetre()->isVisible() && fenetre.isVisible());
        QCOMPARE(plateforme->documents.size(), 1);
        QVERIFY(plateforme->documents.first().endsWith("/HelpOxi.html"));
    }

    void motDePasseDesReglages_data()
    {
        QTest::addColumn<QString>("essai");
        QTest::addColumn<bool>("accepte");
        QTest::newRow("other letter case") << "KZWQ7351" << false;
        QTest::newRow("trailing blank") << "kzwq7351 " << false;
        QTest::newRow("exact") << "kzwq7351" << true;
    }
    void motDePasseDesReglages()
    {
        QFETCH(QString, essai);
        QFETCH(bool, accepte);
        frmRegistre fenetre;
        fenetre.show();
        QTest::keyClicks(fenetre.txtPass, essai);
        // Enter in the box works like the button.
        QTest::keyClick(fenetre.txtPass, Qt::Key_Return);
        QCOMPARE(fenetre.lblReg->isVisible(), accepte);
        QCOMPARE(fenetre.fraAut->isVisible(), !accepte);
        QCOMPARE(messages->infos, accepte ? QStringList() : QStringList{"Mot de pass incorrect !"});
        QVERIFY(fenetre.txtPass->text().isEmpty() || accepte);
    }

    void lignesDesReglages()
    {
        const auto Lignes = [] { return frmRegistre::TexteRegistre().split("\r\n"); };
        // An empty store and no autostart entry.
        QCOMPARE(Lignes(),
                 (QStringList{"Base de donnée: " + CheminAppli() + "DBOxi.dtb", "Lancement automatique: Non",
                              "Affichage de la fenêtre 1ère fois: Oui", "Affichage des éphémérides: Non",
                              "Affichage des fêtes: Non", "Affichage des dictons: Non", "Affichage des infos mois: Non"}));

        // An entry naming this program; one naming a program gone reads as off (demarrageAutoNommantLeProgramme).
        plateforme->AjouteDemarrage(NomAppli(), CheminExecutable());
        QCOMPARE(Lignes().at(1), "Lancement automatique: Oui");
    }

    void liensDeLaBoiteAPropos()
    {
        frmAbout fenetre;
        fenetre.show();
        QTest::mouseClick(fenetre.lblWeb, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblWeb2, Qt::LeftButton);
        // No site yet: the home page is the help; the card is a blank e-mail.
        QVERIFY(AdresseSite().startsWith("file:///") && AdresseSite().endsWith("/HelpOxi.html"));
        QCOMPARE(plateforme->documents, (QStringList{AdresseSite(), "mailto:"}));

        // No system-information tool: the message, the box stays open.
        QTest::mouseClick(fenetre.cmdSysInfo, Qt::LeftButton);
        QTest::mouseClick(fenetre.lblInfos, Qt::LeftButton);
        QCOMPARE(plateforme->lancements, 2);
        QCOMPARE(messages->infos, QStringList(2, "Les informations système ne sont pas disponibles actuellement"));
        QVERIFY(fenetre.isVisible());
    }
};

OXI_TEST_MAIN(TestDemarrage)
#include "tst_demarrage.moc"
