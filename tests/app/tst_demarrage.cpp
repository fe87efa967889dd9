#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Demarrage.h"
#include "OutilsTest.h"
#include "PlateformeTest.h"
#include "Region.h"
#include "Reglages.h"
#include "VerrouInstance.h"
#include "frmAccueil.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTest>

using namespace oxi;

namespace {

const QString LigneStandard =
    QStringLiteral("Pour utiliser Oxi, vous devez les modifier en Français Standard (cf. paramètres régionaux du système).");

} // namespace

class TestDemarrage : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    std::unique_ptr<PlateformeTest> plateforme;
    std::unique_ptr<Programme> programme;

private Q_SLOTS:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
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
        InstallePlateforme(nullptr);
        delete env;
        delete messages;
    }

    // The second instance's refusal; that it leaves the files alone is the end-to-end run's.
    void secondeInstanceRefusee()
    {
        plateforme->verrouLibre = false;
        QVERIFY(!programme->Demarre());
        QCOMPARE(
            messages->infos,
            QStringList{QStringLiteral(
                "Oxi est déjà en cours d'exécution.\r\nPour accéder au menu, cliquez sur l'icône dans la zone de notification")});
        QVERIFY(!Base().EstOuverte() && !programme->Fenetre());
    }

    // A second lock of the same file is refused; the file's place, and a folder that cannot be written.
    void verrouParFichier()
    {
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", env->Dossier().toUtf8());
        const QString chemin = CheminVerrouInstance(QStringLiteral("oxi"));
        QCOMPARE(chemin, env->Dossier() + QStringLiteral("/oxi.lock"));
        {
            VerrouInstance premier(chemin), second(chemin);
            QVERIFY(premier.Prend());
            QVERIFY(!second.Prend() && !second.Impossible());
        }
        QVERIFY(VerrouInstance(chemin).Prend());
        qunsetenv("XDG_RUNTIME_DIR");
        const QString repli = CheminVerrouInstance(QStringLiteral("oxi"));
        QVERIFY(repli.endsWith(QStringLiteral("/oxi.lock")));
        QVERIFY(VerrouInstance(repli).Prend());
        // Not a lock held by someone.
        VerrouInstance ailleurs(QStringLiteral("/proc/oxi.lock"));
        QVERIFY(!ailleurs.Prend() && ailleurs.Impossible());
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", runtime);
    }

    void parametresRegionaux_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<int>("premierJour");
        QTest::addColumn<QString>("message");
        QTest::newRow("France") << "fr_FR.UTF-8" << true << 2 << QString();
        QTest::newRow("Belgique") << "fr_BE" << true << 2 << QString();
        QTest::newRow("Canada") << "fr_CA.UTF-8" << true << 1 << QString();
        QTest::newRow("Luxembourg") << "fr_LU" << true << 2 << QString();
        QTest::newRow("Suisse") << "fr_CH" << false << 0
                                << "Oxi ne fonctionne pas si vos paramètres régionaux sont de type Français Suisse.\r\n"
                + LigneStandard;
        QTest::newRow("anglais") << "en_US" << false << 0
                                 << "Oxi ne fonctionne pas si vos paramètres régionaux ne sont pas de type Français.\r\n"
                + LigneStandard;
    }
    void parametresRegionaux()
    {
        QFETCH(QString, locale);
        QFETCH(bool, accepte);
        QFETCH(int, premierJour);
        QFETCH(QString, message);
        plateforme->langue = IdentifiantPourLocale(locale);
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QCOMPARE(programme->Demarre(), accepte);
        if (accepte) {
            QCOMPARE(PremierJourSemaine(), premierJour);
            QVERIFY(messages->infos.isEmpty());
            QVERIFY(programme->Fenetre());
        } else {
            QCOMPARE(messages->infos, QStringList{message});
        }
    }

    void baseAbimeeSignaleeAvantLaRegion()
    {
        QFile fichier(env->CheminBase());
        fichier.open(QIODevice::WriteOnly | QIODevice::Truncate);
        fichier.write(QByteArray(4096, '\x11'));
        fichier.close();
        plateforme->langue.clear();
        QVERIFY(!programme->Demarre());
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Echec de la connection ! ")});
        QVERIFY(messages->infos.isEmpty());
    }

    // Only the exact text "1" marks a later start; otherwise the program registers itself again.
    void premierDemarrageInscritLeDemarrageAuto()
    {
        QVERIFY(programme->Demarre());
        QFile entree(CheminDemarrage(NomAppli()));
        QVERIFY(entree.open(QIODevice::ReadOnly) && entree.readAll().contains("\nExec=" + CheminExecutable().toUtf8() + "\n"));
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
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(programme->Demarre());
        frmAccueil *fenetre = programme->Fenetre();
        QTest::keyClick(fenetre, Qt::Key_F9);
        QVERIFY(plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F10);
        QVERIFY(!plateforme->TestDemarrage(NomAppli()));
        QTest::keyClick(fenetre, Qt::Key_F11);
        QCOMPARE(LitReglage(ReglagePremiereFois), QStringLiteral("0"));
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
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(programme->Demarre());
        QVERIFY(NomBase().isEmpty());
        QVERIFY(programme->Fenetre());
    }

    void menuDeLIconeEnSixEntrees()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(programme->Demarre());
        auto *menu = programme->Fenetre()->findChild<QMenu *>(QStringLiteral("mnuFichiers"));
        QVERIFY(menu);
        QStringList textes;
        for (QAction *action : menu->actions())
            textes << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(textes, (QStringList{"&Paramétrer", "-", "&Ephémérides", "&Aide", "A propo&s", "&Quitter"}));
        // The icon drawn at build time, each size in its place: the red band and the white dial.
        const QIcon icone = programme->Fenetre()->windowIcon();
        QCOMPARE(icone.availableSizes().size(), 6);
        const QImage image = icone.pixmap(64, 64).toImage();
        QCOMPARE(QColor(image.pixel(32, 12)), QColor(0xc8, 0x28, 0x3c));
        QCOMPARE(QColor(image.pixel(24, 41)), QColor(Qt::white));
        // "&Aide" opens the help file beside the program.
        menu->actions().at(3)->trigger();
        QCOMPARE(plateforme->documents.size(), 1);
        QVERIFY(plateforme->documents.first().endsWith(QStringLiteral("/HelpOxi.html")));
        // No browser: the message gives the file's path.
        plateforme->documentOuvrable = false;
        menu->actions().at(3)->trigger();
        QCOMPARE(messages->infos,
                 QStringList{"Oxi n'a pas pu ouvrir l'aide dans votre navigateur.\r\n"
                             "Vous la trouverez dans le fichier : "
                             + CheminAide()});
    }

    // Through characters a desktop entry must escape; a moved program leaves a stale entry that reads as off.
    void demarrageAutoNommantLeProgramme()
    {
        PlateformeLinux linux_;
        const QString exe = env->Dossier() + QStringLiteral("/100% \"à moi\" $HOME `x` \\ é/oxi");
        QDir().mkpath(QFileInfo(exe).absolutePath());
        linux_.AjouteDemarrage(QStringLiteral("oxi"), exe);
        QVERIFY(!linux_.TestDemarrage(QStringLiteral("oxi")));
        QFile(exe).open(QIODevice::WriteOnly);
        QVERIFY(linux_.TestDemarrage(QStringLiteral("oxi")));
        QFile::remove(exe);
        QVERIFY(!linux_.TestDemarrage(QStringLiteral("oxi")));
        linux_.AjouteDemarrage(QStringLiteral("oxi"), CheminExecutable());
        QFile entree(CheminDemarrage(QStringLiteral("oxi")));
        QVERIFY(entree.open(QIODevice::ReadOnly));
        QVERIFY(entree.readAll().contains("\nExec=" + CheminExecutable().toUtf8() + "\n"));
        linux_.SupprimeDemarrage(QStringLiteral("oxi"));
        QVERIFY(!linux_.TestDemarrage(QStringLiteral("oxi")));
    }

    void caseDeFermetureCacheOuReduit()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
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
};

OXI_TEST_MAIN(TestDemarrage)
#include "tst_demarrage.moc"
