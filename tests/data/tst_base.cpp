#include "Base.h"
#include "Chemins.h"
#include "Constantes.h"
#include "DeriveCle.h"
#include "EcritureRappels.h"
#include "Generateur.h"
#include "Horloge.h"
#include "OutilsRappels.h"
#include "OutilsTest.h"
#include "Rangees.h"
#include "Rappels.h"
#include "Rearmement.h"
#include "Reglages.h"
#include "Sauvegarde.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTest>

#include <memory>
#include <openssl/evp.h>
#include <sys/mount.h>
#include <unistd.h>

#define SQLITE_HAS_CODEC
#include <sqlcipher/sqlite3.h>

using namespace oxi;
using namespace oxi::test;

namespace {

// Opens with the bare library and a raw key ("x'<hex>'"); true when the file reads.
bool LitAvecCle(const QString &chemin, const QByteArray &cle)
{
    sqlite3 *db = nullptr;
    bool ok = sqlite3_open_v2(QFile::encodeName(chemin).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_key(db, cle.constData(), int(cle.size())) == SQLITE_OK
        && sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

// Numbers up to the largest, both flags, the no-date value, quotes, a note with an empty half.
void RemplitBase()
{
    Base().Execute("INSERT INTO Rappel VALUES (3,'1850-06-14','A','Durand#Léa','2026-06-14',1,'2026-06-07',1,'1800-01-01',0),"
                   "(7,'2026-02-14','F','Valentin','2026-02-14',0,'2026-02-13',1,'2026-02-04',0),"
                   "(32767,'2026-12-31','N','Réveillon ''chez nous''','2026-12-31',0,'1800-01-01',0,'1800-01-01',0)");
    Base().Execute("INSERT INTO Notes VALUES (7,'Acheter des fleurs ; « roses »',' et chocolats'), (32767,'Champagne',NULL)");
}

} // namespace

// The keyed file: reference tables, keys and their derivation, compaction, backups and restores;
// then hostile input and the faults that used to lose reminders.
class TestBase : public QObject
{
    Q_OBJECT
    MessagerieScriptee messages;
    std::unique_ptr<EnvironnementTest> env;
    // Backups are slow to write (key derivation): prepared once, only read by the cases.
    QTemporaryDir reserve;
    QStringList etat; // Rappel and Notes as RemplitBase leaves them

    QString Fichier(const QString &nom) const { return env->Dossier() + '/' + nom; }
    QString Reserve(const QString &nom) const { return reserve.path() + '/' + nom; }
    int Compte(const QString &table) { return OuvreRecordset("SELECT count(*) FROM " + table).Valeur(0, 0).toInt(); }
    // The whole stored row of the reminder of that text.
    static QStringList Rangee(const QString &libelle) { return EtatConnexion(Base()).filter(libelle); }
    // The text of the next due reminder the popup would show.
    static QString Montre(ScanRappels &scan) { return scan.Prochain().value_or(RappelAffiche{}).texte.message; }

private Q_SLOTS:
    void initTestCase()
    {
        EnvironnementTest prepa;
        RemplitBase();
        etat = EtatConnexion(Base());
        QVERIFY(SauvegardeBase(Reserve("bonne.dtb")));
        QCOMPARE(QFileInfo(Base().Chemin()).canonicalFilePath(), QFileInfo(prepa.CheminBase()).canonicalFilePath());
        QCOMPARE(QDir(reserve.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"bonne.dtb"});
        FermeBase();
        QVERIFY(QFile::copy(prepa.CheminBase(), Reserve("copie.dtb")) && ConnecteBase());

        const QString ligne = "INSERT INTO Rappel VALUES (1,'%1','N','x','2026-05-01',%2,'1800-01-01',0,'1800-01-01',0)";
        const QList<std::pair<QString, QStringList>> fichiers{
            {"schema.dtb",
             {"CREATE TABLE Rappel (NumRappel INTEGER, Libelle TEXT)", "INSERT INTO Rappel VALUES (1, 'x')", SchemaNotes}},
            {"drapeau.dtb", {SchemaRappel, SchemaNotes, ligne.arg("2026-05-01", "'oui'")}},
            {"date.dtb", {SchemaRappel, SchemaNotes, ligne.arg("01/05/2026", "0")}},
            // Two notes of one number: the second insert fails after the old rows were deleted.
            {"doublon.dtb",
             {SchemaRappel, "CREATE TABLE Notes (NumNote INTEGER, Libelle1 TEXT, Libelle2 TEXT)", ligne.arg("2026-05-01", "0"),
              "INSERT INTO Notes VALUES (1,'a',NULL)", "INSERT INTO Notes VALUES (1,'b',NULL)"}}};
        for (const auto &[nom, instructions] : fichiers)
            QVERIFY(ExecuteDans(Reserve(nom), CleBase, true, instructions));
    }
    void init() { env = std::make_unique<EnvironnementTest>(); }
    void cleanup()
    {
        env.reset();
        messages.Vide();
        RetablitHorloge();
    }

    // The shipped file: no personal rows, the republican month first in Mois, a name day for 29 February.
    // (Keyed: every suite opens it with the key.)
    void tablesDeReference()
    {
        for (const auto &[table, nombre] :
             QList<std::pair<QString, int>>{{"Rappel", 0}, {"Notes", 0}, {"Fetes", 31}, {"Dictons", 366}, {"Mois", 6}})
            QCOMPARE(Compte(table), nombre);
        QCOMPARE(OuvreRecordset("SELECT mois1 FROM Mois").Valeur(0, 0).toString(), "Nivôse");
        QVERIFY(!LitChamp(OuvreRecordset("SELECT mois2 FROM Fetes WHERE Jour=?", {29}).Valeur(0, 0)).isEmpty());
    }

    // The own parallel derivation gives OpenSSL's bytes: long secret, a whole pad, three blocks, no secret.
    void derivationCommeOpenSsl()
    {
        const std::tuple<QByteArray, QByteArray, int, int> cas[] = {{"kzwq7351", QByteArray(16, '\xa5'), 1000, 32},
                                                                    {QByteArray(100, 'k'), "salt", 2, 20},
                                                                    {QByteArray(64, 'p'), "s", 3, 32},
                                                                    {"p", "s", 1, 45},
                                                                    {{}, QByteArray(16, '\0'), 5, 32}};
        for (const auto &[secret, sel, iterations, taille] : cas) {
            QByteArray attendue(taille, '\0');
            QVERIFY(PKCS5_PBKDF2_HMAC(secret.constData(), int(secret.size()),
                                      reinterpret_cast<const unsigned char *>(sel.constData()), int(sel.size()), iterations,
                                      EVP_sha1(), taille, reinterpret_cast<unsigned char *>(attendue.data())));
            QCOMPARE(Pbkdf2Sha1(secret, sel, iterations, taille).toHex(), attendue.toHex());
        }
    }

    // The raw key must be the library's own, or every open would silently fall
    // back to the slow derivation; the older format (4,000 rounds) needs its count.
    // A derivation started ahead serves only the file it was made for: a file replaced meanwhile gets its own.
    void clesBrutesEtPreparees()
    {
        FermeBase();
        const QString chemin = env->CheminBase(), ancien = Fichier("ancien.dtb");
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)) && !LitAvecCle(chemin, CleBrute(chemin, "KZWQ7351")));
        QVERIFY(CleBrute(chemin, QString()).isEmpty());
        QVERIFY(CopieAncienFormat(chemin, ancien));
        QVERIFY(LitAvecCle(ancien, CleBrute(ancien, CleBase, 4000)) && !LitAvecCle(ancien, CleBrute(ancien, CleBase)));

        PrepareCle(chemin, CleBase);
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)) && !LitAvecCle(chemin, CleBrute(chemin, "autre")));
        PrepareCle(chemin, CleBase);
        QVERIFY(QFile::remove(chemin) && QFile::copy(Reserve("bonne.dtb"), chemin)); // a salt of its own
        QVERIFY(LitAvecCle(chemin, CleBrute(chemin, CleBase)));
        PrepareCle(Fichier("absent.dtb"), CleBase);
        QVERIFY(Connexion().Ouvre(chemin, CleBase));
    }

    // A derived key kept in the private runtime folder serves later processes; a
    // damaged one costs only the library's own derivation.
    void cleGardeeServantAuxOuverturesSuivantes()
    {
        FermeBase();
        const QString chemin = env->CheminBase();
        QTemporaryDir run; // private, as the runtime folder is
        const QByteArray avant = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", run.path().toUtf8());
        const QByteArray cle = CleBrute(chemin, CleBase);
        const QStringList gardees = QDir(run.path()).entryList(QDir::Files);
        QCOMPARE(gardees.size(), 1);
        QCOMPARE(CleBrute(chemin, CleBase), cle);
        QVERIFY(Ecrit(run.path() + '/' + gardees.first(), QByteArray(64, '0')));
        QVERIFY(Connexion().Ouvre(chemin, CleBase));
        qputenv("XDG_RUNTIME_DIR", avant);
    }

    void fichierAbsentNiErreurNiCree()
    {
        FermeBase();
        QVERIFY(QFile::remove(env->CheminBase()) && !CompacteBase() && ConnecteBase() && NomBase().isEmpty());
        QVERIFY(!Base().EstOuverte() && messages.tous.isEmpty() && !QFile::exists(env->CheminBase()));
        QVERIFY_THROWS_EXCEPTION(ErreurBase, OuvreRecordset("SELECT * FROM Rappel"));
    }

    // Stored texts: blanks are trimmed, tabs and line breaks inside kept. Backup names: ".dtb" is added unless the
    // name ends in a three-letter extension (today's name and the folder: the panel's suite). (A failed
    // transaction: the failed restore below.)
    void reglesDesTextesEtDesNoms()
    {
        QVERIFY(ChaineOuNull("   ").isNull());
        QCOMPARE(ChaineOuNull(" a\r\nb\t ").toString(), "a\r\nb\t");
        for (const QString paire : {"archive.bak archive.bak", "archive archive.dtb", ".ab .ab.dtb", "copie.sauv copie.sauv.dtb"})
            QCOMPARE(NomFichierSauvegarde(paire.section(' ', 0, 0)), paire.section(' ', 1));
    }

    // Only the two personal tables, keyed, and nothing of the reference tables left in free pages.
    void sauvegardeDesSeulesTablesPersonnellesAvecLaCle()
    {
        const QString chemin = Reserve("bonne.dtb");
        QVERIFY(!Connexion().Ouvre(chemin, QString()) && !Connexion().Ouvre(chemin, "KZWQ7351"));
        Connexion sauvegarde;
        QVERIFY(sauvegarde.Ouvre(chemin, CleBase));
        QCOMPARE(sauvegarde.Requete("SELECT count(*) FROM sqlite_master WHERE type='table'").Valeur(0, 0).toInt(), 2);
        QCOMPARE(sauvegarde.Requete("PRAGMA freelist_count").Valeur(0, 0).toInt(), 0);
    }

    // A whole database file is a backup too: a row added since goes, the reference tables stay.
    // (Changed and missing rows coming back is the fault suite's restore, row for row, same code.)
    void restaurationDUneCopieDeLaBase()
    {
        RemplitBase();
        Base().Execute("INSERT INTO Rappel SELECT 40,DateRappel,Type,'Aubin',Ech1,0,Ech2,0,Ech3,0 FROM Rappel WHERE NumRappel=7");
        QVERIFY(RestaureBase(Reserve("copie.dtb")));
        QVERIFY(messages.tous.isEmpty());
        QCOMPARE(EtatConnexion(Base()), etat);
        QCOMPARE(Compte("Dictons"), 366);
    }

    // The main file by every path that leads to it, and the compaction's name (the start deletes a leftover there).
    void sauvegardeSurLaBasePrincipaleRefusee()
    {
        QDir(env->Dossier()).mkdir("sous");
        QFile::link(env->CheminBase(), Fichier("lien.dtb"));
        QFile::link(env->Dossier(), Fichier("dossierLie"));
        QCOMPARE(::link(QFile::encodeName(env->CheminBase()), QFile::encodeName(Fichier("dur.dtb"))), 0);
        const QByteArray avant = Empreinte(env->CheminBase());
        for (const char *relatif : {"sous/../DBOxi.dtb", "lien.dtb", "dossierLie/DBOxi.dtb", "dur.dtb", "sous/../DBC.dtb"}) {
            QVERIFY2(!SauvegardeBase(Fichier(relatif)), relatif);
            QCOMPARE(Empreinte(env->CheminBase()), avant);
        }
        QVERIFY(!EstBasePrincipale(Fichier("DBOxi2.dtb")));
    }

    // A backup failing on an unreadable main file leaves the earlier one, and no temporary file. (One that
    // works replaces it: the fault suite's backups, over an earlier one.)
    void sauvegardeEchoueeLaissantLAncienne()
    {
        const QString chemin = Fichier("garde.dtb");
        QVERIFY(QFile::copy(Reserve("bonne.dtb"), chemin));
        const QByteArray avant = Empreinte(chemin);
        FermeBase();
        QVERIFY(Ecrit(env->CheminBase(), QByteArray(8192, 'x')));
        QVERIFY(!SauvegardeBase(chemin));
        QCOMPARE(Empreinte(chemin), avant);
        QCOMPARE(QDir(env->Dossier()).entryList(QDir::Files | QDir::Hidden).filter("garde"), QStringList{"garde.dtb"});
    }

    // Every restore that cannot go through leaves the main file byte for byte as it was, connected.
    // The file to restore, and "échec" when it reads but cannot be written (otherwise refused as unreadable).
    void restaurationsEchoueesSansEffet_data()
    {
        Rangees("c",
                {"autre schéma|schema.dtb", "drapeau abîmé|drapeau.dtb", "date fausse|date.dtb", "fichier absent|absent.dtb",
                 "échec à l'écriture|doublon.dtb|échec"});
    }
    void restaurationsEchoueesSansEffet()
    {
        QFETCH(QStringList, c);
        RemplitBase();
        const QByteArray avant = Empreinte(env->CheminBase());
        QCOMPARE(RestaureSauvegarde(Reserve(c[0])), c.size() > 1 ? Restauration::Echec : Restauration::Illisible);
        QVERIFY(Base().EstOuverte());
        QCOMPARE(EtatConnexion(Base()), etat);
        FermeBase();
        QCOMPARE(Empreinte(env->CheminBase()), avant);
    }

    // Hostile input: odd texts, odd settings, the data folder of an installed program. Then faults that
    // used to lose reminders: settings or database that refuse the yearly re-arming, due rows the popup
    // cannot read, numbers beyond 32 bits. Files that are not the database: the fault suite.
    // Quotes, SQL, control characters, emoji, right-to-left and 10,000
    // characters: stored as typed, listed as typed, saved and restored as typed.
    void textesHostilesIntacts()
    {
        const QStringList textes = TextesHostiles();
        const QDate jour(2026, 12, 31);
        for (const QString &t : textes) {
            Ajoute("A", t + '#' + t, QDate(1980, 2, 29), Slots(jour, false));
            const qint64 n = Ajoute("N", t, jour, Slots(jour, false));
            Base().Execute("INSERT INTO Notes VALUES (?, ?, ?)", {n, t.left(255), t.mid(255)});
        }
        QStringList noms, titres;
        for (const auto &l : TableAnniversaires().lignes)
            noms << l.Colonne(1);
        for (const auto &l : TableNotes().lignes)
            titres << l.Colonne(1);
        // The first "#" splits name and first name; a name holding "#" keeps the rest in the first name.
        for (const QString &t : textes)
            QVERIFY2(noms.contains(t.section('#', 0, 0)) && titres.contains(t), qPrintable(t.left(40)));
        const QStringList avant = EtatConnexion(Base());
        const QString sauvegarde = env->Dossier() + "/l'été; \"#%_*\" 🎂.dtb";
        QVERIFY(SauvegardeBase(sauvegarde));
        Base().Execute("DELETE FROM Rappel");
        QCOMPARE(RestaureSauvegarde(sauvegarde), Restauration::Faite);
        QCOMPARE(EtatConnexion(Base()), avant);
    }

    // Only the exact text "1" means yes, whatever else the file holds; odd
    // values stored through the settings store come back as they were.
    void reglagesEtranges()
    {
        const QString fichier = env->Dossier() + "/config/" + NomAppli() + '/' + NomAppli() + ".conf";
        QDir().mkpath(QFileInfo(fichier).absolutePath());
        for (const QByteArray valeur : {"1 ", " 1", "yes", "", "01", "1\n", "\"1\\0\"", "\xff\xfe\x01"}) {
            EcritReglage(ReglageEphemerides, QString::fromUtf8(valeur));
            QCOMPARE(LitReglage(ReglageEphemerides), QString::fromUtf8(valeur));
            QVERIFY2(!ReglageOui(ReglageEphemerides), valeur.constData());
            // Typed by hand too, where the file format keeps the value as it stands.
            if (valeur.trimmed() == valeur)
                QVERIFY(Ecrit(fichier, "[Ephemerides]\nAffich=" + valeur + "\n[PremiereFois]\nAffich=" + valeur + "\n"));
            QVERIFY2(!ReglageOui(ReglageEphemerides) && !ReglageOui(ReglagePremiereFois), valeur.constData());
        }
        QVERIFY(Ecrit(fichier, QByteArray(4096, '\x07')));
        QVERIFY(!ReglageOui(ReglageEphemerides));
        EcritReglage(ReglageEphemerides, "1");
        QVERIFY(ReglageOui(ReglageEphemerides));
    }

    // A program run where it was built keeps its database beside it; an
    // installed one works in the user's data folder, filled once from the shipped file.
    void dossierDeDonnees()
    {
        QTemporaryDir racine;
        qputenv("XDG_DATA_HOME", racine.filePath("donnees").toUtf8());
        const QString construit = racine.filePath("build"), bin = racine.filePath("usr/bin");
        QVERIFY(QDir().mkpath(construit) && QDir().mkpath(bin));
        QCOMPARE(ChoisitCheminAppli(construit), construit + '/');
        QVERIFY(!QFileInfo::exists(racine.filePath("donnees")));

        const QString livree = CheminBaseLivree(bin);
        QVERIFY(QDir().mkpath(QFileInfo(livree).absolutePath()) && QFile::copy(OXI_BASE_REFERENCE, livree));
        const QString donnees = racine.filePath("donnees/") + NomAppli() + '/', base = donnees + NomBaseDefaut;
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), Empreinte(livree));
        QCOMPARE(QFile(base).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::WriteOwner), QFile::WriteOwner);
        // The user's file is never replaced by the shipped one, nor a link to elsewhere.
        QVERIFY(Ecrit(base, "les données de l'utilisateur"));
        const QByteArray utilisateur = Empreinte(base);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), utilisateur);
        QVERIFY(QFile::remove(base) && QFile::link(racine.filePath("ailleurs.dtb"), base));
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QVERIFY(!QFileInfo::exists(racine.filePath("ailleurs.dtb")));
        qunsetenv("XDG_DATA_HOME");
    }

    // Installed with the default prefix, the program's shipped folder and the
    // user's data folder are one: installing again must leave the user's
    // reminders alone. The real install rules run into a temporary ~/.local.
    void reinstallationSurLesDonnees()
    {
        QTemporaryDir racine;
        const QString prefixe = racine.filePath(".local"), partage = prefixe + "/share/oxi";
        qputenv("XDG_DATA_HOME", (prefixe + "/share").toUtf8());
        const QStringList installe{"--install", QStringLiteral(OXI_CONSTRUCTION), "--prefix", prefixe};
        QCOMPARE(QProcess::execute(QStringLiteral(OXI_CMAKE), installe), 0);
        // This test program stands for the installed one: its files are oxi's.
        if (NomAppli() != QString("oxi"))
            QVERIFY(QFile::link(partage, prefixe + "/share/" + NomAppli()));
        const QString bin = prefixe + "/bin", donnees = ChoisitCheminAppli(bin);
        QCOMPARE(QFileInfo(donnees).canonicalFilePath(), QFileInfo(partage).canonicalFilePath());
        const QString base = partage + '/' + NomBaseDefaut;
        QVERIFY(Connexion().Ouvre(base, CleBase)); // filled from the shipped file
        QVERIFY(Ecrit(base, "les rappels de l'utilisateur"));
        const QByteArray empreinte = Empreinte(base);
        QCOMPARE(QProcess::execute(QStringLiteral(OXI_CMAKE), installe), 0);
        QCOMPARE(ChoisitCheminAppli(bin), donnees);
        QCOMPARE(Empreinte(base), empreinte);
        qunsetenv("XDG_DATA_HOME");
    }

    // Three starts in a new year whose year cannot be stored, then one that can:
    // the dates move one year, once. A read-only database the same.
    void rearmementEtAnneeEnsemble_data()
    {
        Rangees("c", {"réglages sous un fichier|dossier", "réglages sur un disque plein|plein", "base en lecture seule|base"});
    }
    void rearmementEtAnneeEnsemble()
    {
        QFETCH(QStringList, c); // the fault
        const bool base = c[0] == "base", plein = c[0] == "plein";
        const QString disque = env->Dossier() + "/disque", config = env->Dossier() + "/config";
        const auto reglagesDans = [](const QString &d) { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, d); };
        const auto retablit = qScopeGuard([&] { reglagesDans(config), ::umount(QFile::encodeName(disque).constData()); });
        if (plein) {
            // A tiny file system of its own, filled up below (needs the right to mount, as root has).
            QDir().mkpath(disque);
            if (::mount("tmpfs", QFile::encodeName(disque).constData(), "tmpfs", 0, "size=16k") != 0)
                QSKIP("pas de droit de monter un système de fichiers");
            reglagesDans(disque);
        }
        QVERIFY(EcritReglage(ReglageAnnee, "2026"));
        FixeMaintenant(QDateTime(QDate(2027, 1, 1), QTime(8, 0)));
        const qint64 n = Ajoute("A", "Martin#Léa", QDate(1990, 6, 2), Slots(QDate(2026, 6, 2), true, QDate(2026, 5, 26), true));
        const QStringList avant = Rangee("Martin#Léa");
        // Running as root, permissions do not stop a write: a folder under a plain file does.
        QFile bouchon(plein ? disque + "/plein" : env->Dossier() + "/fichier");
        if (base)
            Base().Execute("PRAGMA query_only = 1");
        else
            QVERIFY(bouchon.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        if (c[0] == "dossier")
            reglagesDans(bouchon.fileName() + "/config");
        while (plein && bouchon.write(QByteArray(512, '\0')) == 512) {
        }
        for (int depart = 0; depart < 3; ++depart) {
            QVERIFY(!RearmeEcheances());
            QCOMPARE(Rangee("Martin#Léa"), avant);
        }
        QCOMPARE(messages.infos.size(), 3);
        QVERIFY(messages.infos.at(0).contains("prochain démarrage"));
        Base().Execute("PRAGMA query_only = 0");
        if (plein)
            QVERIFY(bouchon.remove());
        else
            reglagesDans(config);
        QCOMPARE(LitReglage(ReglageAnnee), "2026");
        QVERIFY(RearmeEcheances() && RearmeEcheances()); // the second finds the year stored
        QCOMPARE(Lit(n), Slots(QDate(2027, 6, 2), false, QDate(2027, 5, 26), false));
        QCOMPARE(LitReglage(ReglageAnnee), "2027");
    }

    // A due row the popup cannot show between two good ones: reported once,
    // left as it is, and both good ones shown and acknowledged.
    void rangeeIllisibleEntreDeuxBonnes_data()
    {
        Rangees("rangee", {"date vide|F|", "pas une date|F|abc", "date impossible|A|2026-02-30", "type inconnu|X|2026-03-01"});
    }
    void rangeeIllisibleEntreDeuxBonnes()
    {
        QFETCH(QStringList, rangee);
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 a = Ajoute("F", "Aubin", auj, Slots(auj, false));
        Ajoute(rangee[0], "Illisible", rangee[1], Slots(auj, false));
        const qint64 b = Ajoute("F", "Albin", auj, Slots(auj, false));
        const QStringList avant = Rangee("Illisible");

        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(Montre(scan), "Aubin");
        QCOMPARE(Montre(scan), "Albin");
        QVERIFY(!scan.Prochain());
        QCOMPARE(messages.infos, QStringList{"Erreur lors de l'afficage du message."});
        QVERIFY(Lit(a)[1].fait && Lit(b)[1].fait);
        QCOMPARE(Rangee("Illisible"), avant);
        // Nothing is left for the popup to ask about when it closes.
        QCOMPARE(scan.File().NonAffiches(), 0);
    }

    // A number beyond 32 bits is shown and acknowledged as itself, never as the
    // row its low bits name.
    void numeroAuDelaDe32Bits()
    {
        const QDate auj(2026, 3, 1);
        FixeMaintenant(QDateTime(auj, QTime(9, 0)));
        const qint64 grand = (qint64(1) << 32) + 1;
        // The row the low bits of the large number name.
        QCOMPARE(Ajoute("F", "Autre", QDate(2026, 5, 1), Slots(QDate(2026, 5, 1), false)), 1);
        // Missed yesterday, so that once acknowledged it is no longer due.
        Base().Execute(
            "INSERT INTO Rappel VALUES (?, '2026-02-28', 'F', 'Grand', '2026-02-28', 0, '1800-01-01', 1, '1800-01-01', 1)",
            {grand});
        const QStringList avantAutre = Rangee("Autre");
        ScanRappels scan;
        QVERIFY(scan.Scrute());
        QCOMPARE(Montre(scan), "Grand");
        QCOMPARE(Rangee("Autre"), avantAutre);
        // Acknowledged (in its own row, the one above unchanged): the next start finds nothing due.
        QVERIFY(!ScanRappels().Scrute());
        // The list carries the number whole, and a deletion takes that row alone.
        QCOMPARE(TableFetes().lignes.at(1).numRappel, grand); // after "Autre"
        QVERIFY(SupprimeRappel(grand, TypeRappel::Fete));
        QCOMPARE(Rangee("Autre"), avantAutre);
        QCOMPARE(TableFetes().Nombre(), 1);
        QVERIFY(messages.tous.isEmpty());
    }
};

OXI_TEST_GUILESS_MAIN(TestBase)
#include "tst_base.moc"
