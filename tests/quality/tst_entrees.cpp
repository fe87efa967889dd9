// Hostile input: odd texts kept intact through lists, backup and restore;
// files that are not the program's database; odd settings and autostart
// entries; the data folder of an installed program; the list order kept by
// the fast sort.
#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "Generateur.h"
#include "ListesRappels.h"
#include "OutilsTest.h"
#include "Plateforme.h"
#include "Reglages.h"
#include "Sauvegarde.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <sqlcipher/sqlite3.h>

using namespace oxi;
using namespace oxi::test;

namespace {

QByteArray Empreinte(const QString &chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
}

void Ecrit(const QString &chemin, const QByteArray &octets)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

// Files that look like a database to a careless program, keyed by what they are.
QMap<QString, QString> FichiersHostiles(const QString &dossier, const QString &principale)
{
    QMap<QString, QString> fichiers;
    const QString vide = dossier + QStringLiteral("/vide.dtb");
    Ecrit(vide, {});
    fichiers[QStringLiteral("zéro octet")] = vide;
    const QString tronque = dossier + QStringLiteral("/tronque.dtb");
    QFile source(principale);
    source.open(QIODevice::ReadOnly);
    Ecrit(tronque, source.read(5000));
    fichiers[QStringLiteral("tronqué")] = tronque;
    const QString texte = dossier + QStringLiteral("/texte.dtb");
    Ecrit(texte, QByteArray("SQLite format 3\0 ce n'est pas une base", 38));
    fichiers[QStringLiteral("texte")] = texte;
    const QString binaire = dossier + QStringLiteral("/binaire.dtb");
    QByteArray bruit(65536, '\0');
    for (char &c : bruit)
        c = char(QRandomGenerator::global()->generate());
    Ecrit(binaire, bruit);
    fichiers[QStringLiteral("binaire")] = binaire;
    // A plain SQLite file and one keyed with another password, both with the right tables.
    for (const auto &[nom, cle] : {std::pair{QStringLiteral("sqlite sans clé"), QString()},
                                   std::pair{QStringLiteral("autre clé"), QStringLiteral("autreclé")}}) {
        const QString chemin = dossier + QLatin1Char('/') + QString(nom).replace(QLatin1Char(' '), QLatin1Char('_')) + QStringLiteral(".dtb");
        sqlite3 *db = nullptr;
        sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (!cle.isEmpty())
            sqlite3_key(db, cle.toUtf8().constData(), int(cle.toUtf8().size()));
        sqlite3_exec(db, "CREATE TABLE Rappel (NumRappel INTEGER PRIMARY KEY, DateRappel TEXT);"
                         "INSERT INTO Rappel VALUES (1, '2026-01-01');", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        fichiers[nom] = chemin;
    }
    const QString repertoire = dossier + QStringLiteral("/repertoire.dtb");
    QDir().mkpath(repertoire);
    fichiers[QStringLiteral("dossier")] = repertoire;
    return fichiers;
}

} // namespace

class TestEntrees : public QObject
{
    Q_OBJECT

private slots:
    // The fast sort must give exactly the order of the plain exchange passes,
    // ties included, on every column kind.
    void triIdentiqueAuxEchanges()
    {
        const QStringList valeurs{QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("a"), QStringLiteral("É"),
                                  QStringLiteral("z"), QString(), QStringLiteral("2026-03-01"), QStringLiteral("2025-12-31"),
                                  QStringLiteral("1800-01-01"), QStringLiteral("2026-03-01"), QStringLiteral("éa")};
        QRandomGenerator aleas(42);
        for (int essai = 0; essai < 40; ++essai) {
            Tableau tableau;
            tableau.colonnesDates = {2};
            const int n = 1 + int(aleas.bounded(120));
            for (int k = 0; k < n; ++k)
                tableau.lignes.append({{valeurs.at(aleas.bounded(valeurs.size())), valeurs.at(aleas.bounded(valeurs.size()))}, k + 1});
            for (const int colonne : {1, 2}) {
                Tableau attendu = tableau;
                auto &l = attendu.lignes;
                for (int i = 0; i < l.size(); ++i)
                    for (int j = i + 1; j < l.size(); ++j) {
                        const QString a = l[i].Colonne(colonne), b = l[j].Colonne(colonne);
                        const QDate da = QDate::fromString(a, Qt::ISODate), db = QDate::fromString(b, Qt::ISODate);
                        const bool avant = colonne == 2 && da.isValid() && db.isValid() ? db < da : a.toUpper() > b.toUpper();
                        if (avant)
                            std::swap(l[i], l[j]);
                    }
                Tableau trie = tableau;
                TrieTableau(trie, colonne);
                QVector<int> obtenu, voulu;
                for (int k = 0; k < n; ++k) {
                    obtenu << trie.lignes[k].numRappel;
                    voulu << attendu.lignes[k].numRappel;
                }
                QCOMPARE(obtenu, voulu);
            }
        }
    }

    // Quotes, SQL, control characters, emoji, right-to-left and 10,000
    // characters: stored as typed, listed as typed, saved and restored as typed.
    void textesHostilesIntacts()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        const QStringList textes = TextesHostiles();
        for (const QString &t : textes) {
            Base().Execute(QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3) "
                                          "VALUES ('1980-02-29', 'A', ?, '2026-03-01', 0, '1800-01-01', 0, '1800-01-01', 0)"),
                           {t + QStringLiteral("#") + t});
            Base().Execute(QStringLiteral("INSERT INTO Rappel (DateRappel, Type, Libelle, Ech1, EtatEch1, Ech2, EtatEch2, Ech3, EtatEch3) "
                                          "VALUES ('2026-12-31', 'N', ?, '2026-12-31', 0, '1800-01-01', 0, '1800-01-01', 0)"),
                           {t});
            Base().Execute(QStringLiteral("INSERT INTO Notes (NumNote, Libelle1, Libelle2) VALUES (last_insert_rowid(), ?, ?)"),
                           {t.left(255), t.mid(255)});
        }
        QCOMPARE(Base().Requete(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt(), 2 * int(textes.size()));
        RemplitTabAnniv();
        RemplitTabNotes();
        QStringList noms, titres;
        for (const auto &l : TabAnniv().lignes)
            noms << l.Colonne(1);
        for (const auto &l : TabNotes().lignes)
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

    // Not the program's database: a clear message, and the file left exactly as it was.
    void basesHostiles()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        QTemporaryDir annexe;
        const auto fichiers = FichiersHostiles(annexe.path(), env.CheminBase());
        for (auto it = fichiers.begin(); it != fichiers.end(); ++it) {
            FermeBase();
            const QString principale = env.CheminBase();
            QFile::remove(principale);
            if (QFileInfo(it.value()).isDir())
                QDir().mkpath(principale);
            else
                QVERIFY(QFile::copy(it.value(), principale));
            const QByteArray empreinte = Empreinte(principale);
            messages.Vide();
            NomBase() = NomBaseDefaut;
            CompacteBase();
            QVERIFY2(!ConnecteBase(), qPrintable(it.key()));
            QCOMPARE(messages.critiques, QStringList{QStringLiteral("Echec de la connection ! ")});
            QCOMPARE(Empreinte(principale), empreinte);
            QDir(principale).removeRecursively();
            QFile::remove(principale);
        }
    }

    // The same files offered as backups: refused, the main data unchanged.
    void sauvegardesHostiles()
    {
        EnvironnementTest env;
        MessagerieScriptee messages;
        GenereRappels(Base(), 30, 2026);
        const QStringList avant = EtatConnexion(Base());
        QTemporaryDir annexe;
        const auto fichiers = FichiersHostiles(annexe.path(), env.CheminBase());
        for (auto it = fichiers.begin(); it != fichiers.end(); ++it) {
            const QByteArray empreinte = Empreinte(it.value());
            QVERIFY2(RestaureSauvegarde(it.value()) != Restauration::Faite, qPrintable(it.key()));
            QCOMPARE(EtatConnexion(Base()), avant);
            QCOMPARE(Empreinte(it.value()), empreinte);
        }
        // A backup whose reminder table is empty is refused as empty.
        Connexion vide;
        const QString cheminVide = annexe.filePath(QStringLiteral("vide_ok.dtb"));
        QVERIFY(vide.Cree(cheminVide, CleBase));
        vide.Execute(QStringLiteral("CREATE TABLE Rappel (NumRappel INTEGER PRIMARY KEY, DateRappel TEXT NOT NULL, Type TEXT NOT NULL, "
                                    "Libelle TEXT NOT NULL, Ech1 TEXT NOT NULL, EtatEch1 INTEGER NOT NULL DEFAULT 0, Ech2 TEXT NOT NULL, "
                                    "EtatEch2 INTEGER NOT NULL DEFAULT 0, Ech3 TEXT NOT NULL, EtatEch3 INTEGER NOT NULL DEFAULT 0)"));
        vide.Execute(QStringLiteral("CREATE TABLE Notes (NumNote INTEGER PRIMARY KEY, Libelle1 TEXT, Libelle2 TEXT)"));
        vide.Ferme();
        QCOMPARE(RestaureSauvegarde(cheminVide), Restauration::Vide);
        QCOMPARE(EtatConnexion(Base()), avant);
        // Saving onto a folder or onto the main file itself is refused.
        QVERIFY(!SauvegardeBase(annexe.path()));
        QVERIFY(!SauvegardeBase(env.CheminBase()));
        QVERIFY(!SauvegardeBase(env.Dossier() + QStringLiteral("/./") + NomBaseDefaut));
        // A legal name too long for the temporary name beside it: refused, nothing written.
        QTemporaryDir long_;
        QVERIFY(!SauvegardeBase(long_.filePath(QString(250, QLatin1Char('s')))));
        QVERIFY(QDir(long_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
        QCOMPARE(EtatConnexion(Base()), avant);
    }

    // Only the exact text "1" means yes, whatever else the file holds.
    void reglagesEtranges()
    {
        EnvironnementTest env;
        const QString fichier = env.Dossier() + QStringLiteral("/config/") + NomAppli() + QLatin1Char('/') + NomAppli() + QStringLiteral(".conf");
        QDir().mkpath(QFileInfo(fichier).absolutePath());
        // As stored through the settings store: "1 " keeps its blank.
        for (const QString &valeur : {QStringLiteral("1 "), QStringLiteral(" 1"), QStringLiteral("yes"), QString(),
                                      QStringLiteral("01"), QStringLiteral("1\n"), QStringLiteral("true")}) {
            EcritReglage(ReglageEphemerides, valeur);
            QCOMPARE(LitReglage(ReglageEphemerides), valeur);
            QVERIFY2(!ReglageOui(ReglageEphemerides), qPrintable(valeur));
        }
        // Typed by hand into the file.
        for (const QByteArray &valeur : {QByteArray("yes"), QByteArray(""), QByteArray("\"1\\0\""), QByteArray("\xff\xfe\x01")}) {
            Ecrit(fichier, "[Ephemerides]\nAffich=" + valeur + "\n[PremiereFois]\nAffich=" + valeur + "\n");
            QVERIFY2(!ReglageOui(ReglageEphemerides), valeur.constData());
            QVERIFY2(!ReglageOui(ReglagePremiereFois), valeur.constData());
        }
        Ecrit(fichier, QByteArray(4096, '\x07'));
        QVERIFY(!ReglageOui(ReglageEphemerides));
        EcritReglage(ReglageEphemerides, QStringLiteral("1"));
        QVERIFY(ReglageOui(ReglageEphemerides));
    }

    // An autostart entry whose program is gone counts as absent; odd paths round-trip.
    void demarrageAutomatique()
    {
        EnvironnementTest env;
        Plateforme &p = PlateformeCourante();
        const QString etrange = env.Dossier() + QStringLiteral("/dossier \"guillemets\" $HOME `x` \\ é/oxi");
        p.AjouteDemarrage(QStringLiteral("oxitest"), etrange);
        QVERIFY(!p.TestDemarrage(QStringLiteral("oxitest")));
        QDir().mkpath(QFileInfo(etrange).absolutePath());
        Ecrit(etrange, "#!/bin/sh\n");
        QVERIFY(p.TestDemarrage(QStringLiteral("oxitest")));
        QFile::remove(etrange);
        QVERIFY(!p.TestDemarrage(QStringLiteral("oxitest")));
        p.SupprimeDemarrage(QStringLiteral("oxitest"));
        QVERIFY(!QFileInfo::exists(CheminDemarrage(QStringLiteral("oxitest"))));
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
        QVERIFY(livree.startsWith(CheminPartage(bin)));
        QVERIFY(livree != CheminPartage(bin) + NomBaseDefaut);
        QDir().mkpath(QFileInfo(livree).absolutePath());
        QVERIFY(QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), livree));
        const QString donnees = racine.filePath(QStringLiteral("donnees/")) + NomAppli() + QLatin1Char('/');
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut), Empreinte(livree));
        QCOMPARE(QFile(donnees + NomBaseDefaut).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner),
                 QFile::WriteOwner);
        // Nothing but the database is left in the folder.
        QCOMPARE(QDir(donnees).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{NomBaseDefaut});
        // The user's file is never replaced by the shipped one, nor a link to elsewhere.
        Ecrit(donnees + NomBaseDefaut, "les données de l'utilisateur");
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(donnees + NomBaseDefaut), QCryptographicHash::hash("les données de l'utilisateur", QCryptographicHash::Sha256));
        QFile::remove(donnees + NomBaseDefaut);
        QVERIFY(QFile::link(racine.filePath(QStringLiteral("ailleurs.dtb")), donnees + NomBaseDefaut));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QVERIFY(!QFileInfo::exists(racine.filePath(QStringLiteral("ailleurs.dtb"))));
        // A relative XDG_DATA_HOME is ignored, as the desktop rules say.
        qputenv("XDG_DATA_HOME", "relatif");
        QVERIFY(CheminDonneesUtilisateur().startsWith(QDir::homePath() + QStringLiteral("/.local/share/")));
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
            cmake.start(QStringLiteral(OXI_CMAKE), {QStringLiteral("--install"), QStringLiteral(OXI_CONSTRUCTION),
                                                    QStringLiteral("--prefix"), prefixe});
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
        QVERIFY(QFileInfo(base).isFile());
        {
            Connexion connexion;
            QVERIFY(connexion.Ouvre(base, CleBase));
            GenereRappels(connexion, 25, 2026);
        }
        const QStringList etat = EtatFichier(base);
        QVERIFY(etat.size() >= 25);
        const QByteArray empreinte = Empreinte(base);

        QVERIFY(installe());
        QCOMPARE(Empreinte(base), empreinte);
        QCOMPARE(EtatFichier(base), etat);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), empreinte);
        qunsetenv("XDG_DATA_HOME");
    }
};

QTEST_GUILESS_MAIN(TestEntrees)
#include "tst_entrees.moc"
