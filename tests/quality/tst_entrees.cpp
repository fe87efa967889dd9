// Hostile input: odd texts kept intact through lists, backup and restore;
// odd settings; the data folder of an installed program. Files that are not
// the program's database are tried with the faults (tst_pannes).
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Generateur.h"
#include "OutilsTest.h"
#include "Reglages.h"
#include "Sauvegarde.h"
#include "TablesRappels.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace oxi;
using namespace oxi::test;

namespace {

void Ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

} // namespace

class TestEntrees : public QObject
{
    Q_OBJECT

private slots:
    // Quotes, SQL, control characters, emoji, right-to-left and 10,000
    // characters: stored as typed, listed as typed, saved and restored as typed.
    void textesHostilesIntacts()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QStringList textes = TextesHostiles();
        const QString insere = QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, Ech2, Ech3) "
                                              "VALUES (?, ?, ?, '2026-12-31', '1800-01-01', '1800-01-01')");
        for (const QString &t : textes) {
            Base().Execute(insere, {QStringLiteral("1980-02-29"), QStringLiteral("A"), t + QStringLiteral("#") + t});
            Base().Execute(insere, {QStringLiteral("2026-12-31"), QStringLiteral("N"), t});
            Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (last_insert_rowid(), ?, ?)"),
                           {t.left(255), t.mid(255)});
        }
        QStringList noms, titres;
        for (const auto &l : TableAnniversaires().lignes)
            noms << l.Colonne(1);
        for (const auto &l : TableNotes().lignes)
            titres << l.Colonne(1);
        for (const QString &t : textes) {
            // The first "#" splits name and first name; a name holding "#" keeps the rest in the first name.
            QVERIFY2(noms.contains(t.section(QLatin1Char('#'), 0, 0)), qPrintable(t.left(40)));
            QVERIFY2(titres.contains(t), qPrintable(t.left(40)));
        }
        const QStringList avant = EtatConnexion(Base());
        const QString sauvegarde = env.Dossier() + QStringLiteral("/l'été; \"#%_*\" 🎂.dtb");
        QVERIFY(SauvegardeBase(sauvegarde));
        QCOMPARE(EtatFichier(sauvegarde), avant);
        Base().Execute(QStringLiteral("DELETE FROM Rappel"));
        Base().Execute(QStringLiteral("DELETE FROM Notes"));
        QCOMPARE(RestaureSauvegarde(sauvegarde), Restauration::Faite);
        QCOMPARE(EtatConnexion(Base()), avant);
    }

    // Only the exact text "1" means yes, whatever else the file holds; odd
    // values stored through the settings store come back as they were.
    void reglagesEtranges()
    {
        EnvironnementTest env;
        const QString fichier =
            env.Dossier() + QStringLiteral("/config/") + NomAppli() + QLatin1Char('/') + NomAppli() + QStringLiteral(".conf");
        QDir().mkpath(QFileInfo(fichier).absolutePath());
        for (const QByteArray &valeur : {QByteArray("1 "), QByteArray(" 1"), QByteArray("yes"), QByteArray(""), QByteArray("01"),
                                         QByteArray("1\n"), QByteArray("\"1\\0\""), QByteArray("\xff\xfe\x01")}) {
            EcritReglage(ReglageEphemerides, QString::fromUtf8(valeur));
            QCOMPARE(LitReglage(ReglageEphemerides), QString::fromUtf8(valeur));
            QVERIFY2(!ReglageOui(ReglageEphemerides), valeur.constData());
            // Typed by hand too, where the file format keeps the value as it stands.
            if (valeur.trimmed() == valeur)
                Ecrit(fichier, "[Ephemerides]\nAffich=" + valeur + "\n[PremiereFois]\nAffich=" + valeur + "\n");
            QVERIFY2(!ReglageOui(ReglageEphemerides) && !ReglageOui(ReglagePremiereFois), valeur.constData());
        }
        Ecrit(fichier, QByteArray(4096, '\x07'));
        QVERIFY(!ReglageOui(ReglageEphemerides));
        EcritReglage(ReglageEphemerides, QStringLiteral("1"));
        QVERIFY(ReglageOui(ReglageEphemerides));
    }

    // A program run where it was built keeps its database beside it; an
    // installed one works in the user's data folder, filled once from the shipped file.
    void dossierDeDonnees()
    {
        QTemporaryDir racine;
        qputenv("XDG_DATA_HOME", racine.filePath(QStringLiteral("donnees")).toUtf8());
        const QString construit = racine.filePath(QStringLiteral("build"));
        QDir().mkpath(construit);
        QCOMPARE(ChoisitCheminAppli(construit), construit + QLatin1Char('/'));
        QVERIFY(!QFileInfo::exists(racine.filePath(QStringLiteral("donnees"))));

        const QString bin = racine.filePath(QStringLiteral("usr/bin"));
        QDir().mkpath(bin);
        const QString livree = CheminBaseLivree(bin);
        QDir().mkpath(QFileInfo(livree).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), livree));
        const QString donnees = racine.filePath(QStringLiteral("donnees/")) + NomAppli() + QLatin1Char('/');
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut), Empreinte(livree));
        QCOMPARE(QFile(donnees + NomBaseDefaut).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner),
                 QFile::WriteOwner);
        // The user's file is never replaced by the shipped one, nor a link to elsewhere.
        Ecrit(donnees + NomBaseDefaut, "les données de l'utilisateur");
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut),
                 QCryptographicHash::hash("les données de l'utilisateur", QCryptographicHash::Sha256));
        QFile::remove(donnees + NomBaseDefaut);
        QVERIFY(QFile::link(racine.filePath(QStringLiteral("ailleurs.dtb")), donnees + NomBaseDefaut));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QVERIFY(!QFileInfo::exists(racine.filePath(QStringLiteral("ailleurs.dtb"))));
        qunsetenv("XDG_DATA_HOME");
    }

    // Installed with the default prefix, the program's shipped folder and the
    // user's data folder are one: installing again must leave the user's
    // reminders alone. The real install rules run into a temporary ~/.local.
    void reinstallationSurLesDonnees()
    {
        QTemporaryDir racine;
        const QString prefixe = racine.filePath(QStringLiteral(".local"));
        qputenv("XDG_DATA_HOME", (prefixe + QStringLiteral("/share")).toUtf8());
        const auto installe = [&] {
            QProcess cmake;
            cmake.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            cmake.start(QStringLiteral(OXI_CMAKE),
                        {QStringLiteral("--install"), QStringLiteral(OXI_CONSTRUCTION), QStringLiteral("--prefix"), prefixe});
            return cmake.waitForFinished(120000) && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
        };
        QVERIFY(installe());
        const QString bin = prefixe + QStringLiteral("/bin");
        QVERIFY(QFileInfo(bin + QStringLiteral("/oxi")).isExecutable());
        // This test program stands for the installed one: its files are oxi's.
        const QString partage = prefixe + QStringLiteral("/share/oxi");
        if (NomAppli() != QLatin1String("oxi"))
            QVERIFY(QFile::link(partage, prefixe + QStringLiteral("/share/") + NomAppli()));
        QVERIFY(QFileInfo(CheminBaseLivree(bin)).isFile());

        const QString donnees = ChoisitCheminAppli(bin);
        QCOMPARE(QFileInfo(donnees).canonicalFilePath(), QFileInfo(partage).canonicalFilePath());
        const QString base = partage + QLatin1Char('/') + NomBaseDefaut;
        Connexion connexion;
        QVERIFY(connexion.Ouvre(base, CleBase));
        GenereRappels(connexion, 25, 2026);
        connexion.Ferme();
        const QStringList etat = EtatFichier(base);
        QVERIFY(etat.size() >= 25);
        const QByteArray empreinte = Empreinte(base);

        QVERIFY(installe());
        QCOMPARE(EtatFichier(base), etat);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), empreinte);
        qunsetenv("XDG_DATA_HOME");
    }
};

OXI_TEST_GUILESS_MAIN(TestEntrees)
#include "tst_entrees.moc"
