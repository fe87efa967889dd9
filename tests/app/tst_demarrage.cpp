#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Demarrage.h"
#include "OutilsTest.h"
#include "Plateforme.h"
#include "Region.h"
#include "Reglages.h"
#include "VerrouInstance.h"
#include "frmAccueil.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QProcess>
#include <QTest>

#include <unistd.h>

using namespace oxi;

namespace {

// Stands in for the desktop: a free or held instance lock, a chosen locale, autostart kept in memory.
class PlateformeTest : public Plateforme
{
public:
    bool verrouLibre = true;
    QString langue = QStringLiteral("040c");
    QString demarrage;
    bool demarrageExiste = false;
    QStringList documents;

    bool PrendVerrouInstance(const QString &) override { return verrouLibre; }
    QString IdentifiantLangue() override { return langue; }
    void AjouteDemarrage(const QString &, const QString &donnee) override { demarrage = donnee; demarrageExiste = true; }
    void SupprimeDemarrage(const QString &) override { demarrageExiste = false; }
    bool TestDemarrage(const QString &) override { return demarrageExiste; }
    void OuvreDocument(const QString &adresse) override { documents << adresse; }
    bool LanceInfosSysteme() override { return false; }
};

QByteArray Empreinte(const QString &chemin)
{
    QFile fichier(chemin);
    fichier.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(fichier.readAll(), QCryptographicHash::Sha256);
}

const QString LigneStandard = QStringLiteral(
    "Pour utiliser Oxi, vous devez les modifier en Français Standard (cf. Panneau de Configuration).");

} // namespace

class TestDemarrage : public QObject
{
    Q_OBJECT
    EnvironnementTest *env = nullptr;
    MessagerieScriptee *messages = nullptr;
    PlateformeTest plateforme;

private Q_SLOTS:
    void init()
    {
        messages = new MessagerieScriptee;
        env = new EnvironnementTest;
        FermeBase();
        plateforme = PlateformeTest();
        InstallePlateforme(&plateforme);
    }
    void cleanup()
    {
        QuitteProgramme();
        InstallePlateforme(nullptr);
        delete env;
        delete messages;
    }

    void secondeInstanceRefuseeSansToucherLaBase()
    {
        plateforme.verrouLibre = false;
        QFile::copy(env->CheminBase(), env->Dossier() + QStringLiteral("/DBC.dtb"));
        const QByteArray avant = Empreinte(env->CheminBase());
        QVERIFY(!Demarre());
        QCOMPARE(messages->infos, QStringList{QStringLiteral(
            "Oxi est déjà en cours d'exécution.\r\nPour accéder au menu, cliquez sur l'icône près de l'horloge Windows")});
        QCOMPARE(Empreinte(env->CheminBase()), avant);
        QVERIFY(QFile::exists(env->Dossier() + QStringLiteral("/DBC.dtb")));
        QVERIFY(!Base().EstOuverte());
        QVERIFY(!frmAccueil::Instance());
    }

    // The lock of a second start, of a process of the same user, and of a killed one.
    void verrouParFichierLibereALaFin()
    {
        const QString chemin = env->Dossier() + QStringLiteral("/oxi.lock");
        {
            VerrouInstance premier(chemin), second(chemin);
            QVERIFY(premier.Prend());
            QVERIFY(!second.Prend());
        }
        QProcess detenteur;
        detenteur.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--tiens-verrou"), chemin});
        QVERIFY(detenteur.waitForReadyRead(30000));
        VerrouInstance verrou(chemin);
        QVERIFY(!verrou.Prend());
        detenteur.kill();
        QVERIFY(detenteur.waitForFinished(30000));
        // The file stays behind; it blocks nobody.
        QVERIFY(QFile::exists(chemin));
        QVERIFY(verrou.Prend());

        qputenv("XDG_RUNTIME_DIR", env->Dossier().toUtf8());
        QCOMPARE(CheminVerrouInstance(QStringLiteral("oxi")), env->Dossier() + QStringLiteral("/oxi.lock"));
        qunsetenv("XDG_RUNTIME_DIR");
        const QString repli = CheminVerrouInstance(QStringLiteral("oxi"));
        QVERIFY(repli.endsWith(QStringLiteral("/oxi.lock")));
        QVERIFY(VerrouInstance(repli).Prend());
    }

    void parametresRegionaux_data()
    {
        QTest::addColumn<QString>("langue");
        QTest::addColumn<bool>("accepte");
        QTest::addColumn<int>("premierJour");
        QTest::addColumn<QString>("message");
        QTest::newRow("France") << "040c" << true << 2 << QString();
        QTest::newRow("Belgique") << "080c" << true << 2 << QString();
        QTest::newRow("Canada") << "0c0c" << true << 1 << QString();
        QTest::newRow("Luxembourg") << "140c" << true << 2 << QString();
        QTest::newRow("Suisse") << "100c" << false << 0
                                << "Oxi ne fonctionne pas si vos paramètres régionaux sont de type Français Suisse.\r\n" + LigneStandard;
        QTest::newRow("anglais") << "" << false << 0
                                 << "Oxi ne fonctionne pas si vos paramètres régionaux ne sont pas de type Français.\r\n" + LigneStandard;
    }
    void parametresRegionaux()
    {
        QFETCH(QString, langue);
        QFETCH(bool, accepte);
        QFETCH(int, premierJour);
        QFETCH(QString, message);
        plateforme.langue = langue;
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QCOMPARE(Demarre(), accepte);
        if (accepte) {
            QCOMPARE(PremierJourSemaine(), premierJour);
            QVERIFY(messages->infos.isEmpty());
            QVERIFY(frmAccueil::Instance());
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
        plateforme.langue.clear();
        QVERIFY(!Demarre());
        QCOMPARE(messages->critiques, QStringList{QStringLiteral("Echec de la connection ! ")});
        QVERIFY(messages->infos.isEmpty());
    }

    void premierDemarrageInscritLeDemarrageAuto()
    {
        QVERIFY(Demarre());
        QVERIFY(plateforme.demarrageExiste);
        QCOMPARE(plateforme.demarrage, CheminExecutable());
        QVERIFY(frmAccueil::Instance());
    }

    void demarrageSuivantGardeLeDemarrageAuto()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(Demarre());
        QVERIFY(!plateforme.demarrageExiste);
        // "1 " is not "1": the program registers itself again.
        QuitteProgramme();
        EcritReglage(ReglagePremiereFois, QStringLiteral("1 "));
        QVERIFY(Demarre());
        QVERIFY(plateforme.demarrageExiste);
    }

    void touchesDeFonction()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(Demarre());
        frmAccueil *fenetre = frmAccueil::Instance();
        QTest::keyClick(fenetre, Qt::Key_F9);
        QVERIFY(plateforme.demarrageExiste);
        QTest::keyClick(fenetre, Qt::Key_F10);
        QVERIFY(!plateforme.demarrageExiste);
        QTest::keyClick(fenetre, Qt::Key_F11);
        QCOMPARE(LitReglage(ReglagePremiereFois), QStringLiteral("0"));
        QCOMPARE(messages->infos, (QStringList{
            "Oxi se lancera automatiquement au démarrage.\r\nAppuyez sur F10 pour empêcher ce démarrage automatique.",
            "Oxi ne se lancera plus automatiquement au démarrage.\r\nAppuyez sur F9 pour relancer automatiquement.",
            "La fenêtre 'Première utilisation' sera affichée au prochain démarrage de Oxi."}));
    }

    void baseAbsenteDemarreQuandMeme()
    {
        QFile::remove(env->CheminBase());
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(Demarre());
        QVERIFY(NomBase().isEmpty());
        QVERIFY(frmAccueil::Instance());
    }

    void menuDeLIconeEnSixEntrees()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(Demarre());
        auto *menu = frmAccueil::Instance()->findChild<QMenu *>(QStringLiteral("mnuFichiers"));
        QVERIFY(menu);
        QStringList noms, textes;
        for (QAction *action : menu->actions()) {
            noms << action->objectName();
            textes << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        QCOMPARE(noms, (QStringList{"mnuParametrer", "mnutiret", "mnuEphem", "mnuAide", "mnuAPropos", "mnuQuitter"}));
        QCOMPARE(textes, (QStringList{"&Paramétrer", "-", "&Ephémérides", "&Aide", "A propo&s", "&Quitter"}));
        // The window carries the program's icon, the one shown in the notification area.
        QVERIFY(!frmAccueil::Instance()->windowIcon().isNull());
        // "&Aide" opens the help file beside the program.
        menu->actions().at(3)->trigger();
        QCOMPARE(plateforme.documents.size(), 1);
        QVERIFY(plateforme.documents.first().endsWith(QStringLiteral("/HelpOxi.html")));
    }

    void demarrageAutoNommantLeProgramme()
    {
        PlateformeLinux linux_;
        const QString dossier = env->Dossier() + QStringLiteral("/mes programmes 100% \"à moi\"");
        QDir().mkpath(dossier);
        const QString exe = dossier + QStringLiteral("/oxi");
        QFile(exe).open(QIODevice::WriteOnly);
        linux_.AjouteDemarrage(QStringLiteral("oxi"), exe);
        QVERIFY(linux_.TestDemarrage(QStringLiteral("oxi")));
        // A moved program leaves a stale entry: it reads as off.
        QFile::remove(exe);
        QVERIFY(!linux_.TestDemarrage(QStringLiteral("oxi")));
        linux_.AjouteDemarrage(QStringLiteral("oxi"), CheminExecutable());
        QFile entree(CheminDemarrage(QStringLiteral("oxi")));
        QVERIFY(entree.open(QIODevice::ReadOnly));
        QVERIFY(entree.readAll().contains("\nExec=" + CheminExecutable().toUtf8() + "\n"));
        linux_.SupprimeDemarrage(QStringLiteral("oxi"));
        QVERIFY(!linux_.TestDemarrage(QStringLiteral("oxi")));
        QCOMPARE(IdentifiantPourLocale(QStringLiteral("fr_CA.UTF-8")), QStringLiteral("0c0c"));
        QCOMPARE(IdentifiantPourLocale(QStringLiteral("fr_CH")), QStringLiteral("100c"));
        QCOMPARE(IdentifiantPourLocale(QStringLiteral("en_US")), QString());
    }

    void caseDeFermetureCacheOuReduit()
    {
        EcritReglage(ReglagePremiereFois, QStringLiteral("1"));
        QVERIFY(Demarre());
        frmAccueil *fenetre = frmAccueil::Instance();
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

int main(int argc, char **argv)
{
    // Child mode of the lock test: hold the lock, say so, wait to be killed.
    if (argc == 3 && QByteArray(argv[1]) == "--tiens-verrou") {
        VerrouInstance verrou(QString::fromLocal8Bit(argv[2]));
        if (!verrou.Prend())
            return 1;
        fputs("pris\n", stdout);
        fflush(stdout);
        pause();
        return 0;
    }
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    TestDemarrage test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_demarrage.moc"
