// Exchanges with a real Radicale on a loopback port: two databases against one
// calendar, a third client editing it as a phone would, an interrupted
// exchange, refusals, and the command line.
#include "Base.h"
#include "Constantes.h"
#include "Contenus.h"
#include "DepotSynchro.h"
#include "ReglagesSynchro.h"
#include "Synchroniseur.h"

#include "OutilsTest.h"
#include <QEventLoop>
#include <QFile>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace oxi;

namespace {

const QString Utilisateur = "alice", MotDePasse = "s3cret";
const QString Calendrier = "Calendrier";
QString AdresseServeur; // the suite's own server
// A reminder's title and a note's text, for Maison::Libelles().
const QString AvecTexte = "Libelle || ' ' || coalesce((SELECT n.Libelle1 || coalesce(n.Libelle2, '') "
                          "FROM Notes n WHERE n.NumNote = NumRappel), '')";

void Ecrit(const QString &chemin, const QByteArray &contenu, QFileDevice::Permissions droits = {})
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(contenu) == contenu.size() && (!droits || f.setPermissions(droits)));
}

// A Radicale of our own on a free loopback port, stopped by its destructor;
// with `tls`, on a certificate nobody vouches for.
class Serveur
{
public:
    explicit Serveur(const QString &dossier, bool tls = false)
    {
        QTcpServer libre; // a port free now, given up for Radicale
        QVERIFY(libre.listen(QHostAddress::LocalHost, 0));
        m_port = libre.serverPort();
        libre.close();
        QDir().mkpath(dossier);
        Ecrit(dossier + "/utilisateurs", (Utilisateur + ':' + MotDePasse).toUtf8());
        const QString ssl = " --server-ssl True --server-certificate %1/cert.pem --server-key %1/cle.pem";
        const QString openssl = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 1 "
                                "-subj /CN=127.0.0.1 -keyout %1/cle.pem -out %1/cert.pem 2>/dev/null";
        QVERIFY(!tls || QProcess::execute("sh", {"-c", openssl.arg(dossier)}) == 0);
        m_arguments = QStringLiteral("--config  --server-hosts 127.0.0.1:%1 --auth-type htpasswd --auth-htpasswd-filename "
                                     "%2/utilisateurs --auth-htpasswd-encryption plain --storage-filesystem-folder "
                                     "%2/collections --logging-level error%3")
                          .arg(QString::number(m_port), dossier, tls ? ssl.arg(dossier) : QString())
                          .split(' ');
        Demarre();
    }
    ~Serveur() { Arrete(); }

    void Demarre()
    {
        m_processus.setStandardOutputFile(QProcess::nullDevice());
        m_processus.setStandardErrorFile(QProcess::nullDevice());
        m_processus.start("radicale", m_arguments);
        const auto ecoute = [this] {
            QTcpSocket sonde;
            sonde.connectToHost(QHostAddress::LocalHost, m_port);
            return sonde.waitForConnected(100);
        };
        QVERIFY2(QTest::qWaitFor(ecoute, 10000), "Radicale ne démarre pas");
    }
    void Arrete()
    {
        m_processus.kill();
        m_processus.waitForFinished();
    }
    QString Adresse(const char *schema = "http") const { return QStringLiteral("%1://127.0.0.1:%2/").arg(schema).arg(m_port); }

private:
    QStringList m_arguments; // no configuration file: these alone
    quint16 m_port = 0;
    QProcess m_processus;
};

// One computer: its own copy of the reference database, owner-only as the program keeps it, emptied of reminders.
struct Maison
{
    explicit Maison(const QString &dossier)
    {
        const QString chemin = dossier + "/DBOxi.dtb";
        QVERIFY(QDir().mkpath(dossier) && QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), chemin)
                && QFile::setPermissions(chemin, QFileDevice::ReadOwner | QFileDevice::WriteOwner)
                && connexion.Ouvre(chemin, CleBase));
        for (const char *table : {"Rappel", "Notes"})
            connexion.Execute("DELETE FROM " + QLatin1String(table));
    }
    // One column or expression of every reminder, by title.
    QStringList Libelles(const QString &colonne = "Libelle")
    {
        QStringList l;
        for (const auto &ligne : connexion.Requete(QStringLiteral("SELECT %1 FROM Rappel ORDER BY Libelle").arg(colonne)).lignes)
            l << ligne[0].toString();
        return l;
    }
    QString Collection() { return DepotSynchro(connexion).LitEtat("collection"); }
    void Ajoute(const Contenu &c) { DepotSynchro(connexion).AjouteRappel(c, Aujourdhui()); }
    Connexion connexion;
};

BilanSynchro Synchronise(Maison &maison, const QString &calendrier = Calendrier, const QString &adresse = AdresseServeur,
                         const QString &motDePasse = MotDePasse, const std::function<void(int)> &surAvance = {})
{
    Synchroniseur s(maison.connexion, {adresse, Utilisateur, calendrier, motDePasse});
    if (surAvance)
        QObject::connect(&s, &Synchroniseur::Avance, [surAvance](int faits, int) { surAvance(faits); });
    QEventLoop boucle;
    QObject::connect(&s, &Synchroniseur::Fini, &boucle, &QEventLoop::quit);
    s.Lance();
    if (s.Bilan().message.isEmpty())
        boucle.exec();
    return s.Bilan();
}

// A phone: plain HTTP on the calendar's objects.
struct Telephone
{
    QPair<int, QByteArray> Requete(const QByteArray &methode, const QString &chemin, const QByteArray &corps = {})
    {
        QNetworkRequest r{QUrl(AdresseServeur + chemin.mid(1))};
        r.setRawHeader("Authorization", "Basic " + (Utilisateur + ':' + MotDePasse).toUtf8().toBase64());
        r.setRawHeader("Depth", "1"); // for REPORT; the others ignore it
        r.setHeader(QNetworkRequest::ContentTypeHeader, methode == "PUT" ? "text/calendar" : "application/xml");
        QNetworkReply *reponse = reseau.sendCustomRequest(r, methode, corps);
        const bool fini = QTest::qWaitFor([reponse] { return reponse->isFinished(); }, 60000);
        reponse->deleteLater();
        return {fini ? reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0, reponse->readAll()};
    }
    // The calendar's objects: href -> text.
    QMap<QString, QByteArray> Objets(const QString &collection)
    {
        const auto r = Requete("REPORT", collection,
                               "<c:calendar-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>"
                               "<c:calendar-data/></d:prop><c:filter><c:comp-filter name=\"VCALENDAR\"/></c:filter>"
                               "</c:calendar-query>");
        QMap<QString, QByteArray> objets;
        for (const ReponseDav &rep : LitMultistatut(r.second).reponses)
            if (rep.props.contains("calendar-data"))
                objets.insert(rep.href, rep.props.value("calendar-data").toUtf8());
        return objets;
    }
    QNetworkAccessManager reseau;
};

} // namespace

class TestSynchro : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", (m_dossier.path() + "/config").toUtf8());
        m_serveur = std::make_unique<Serveur>(m_dossier.path() + "/serveur");
        AdresseServeur = m_serveur->Adresse();
        m_a = std::make_unique<Maison>(m_dossier.path() + "/a");
        m_b = std::make_unique<Maison>(m_dossier.path() + "/b");
    }
    void cleanupTestCase() { m_serveur.reset(); }

    // Added, acknowledged, changed and deleted on either side, and by a phone.
    void deuxOrdinateursEtUnTelephone()
    {
        m_a->Ajoute(Anniv("Dupont#Jean"));
        m_a->Ajoute(Note("Courses", "Pain et lait"));
        BilanSynchro bilan = Synchronise(*m_a);
        QVERIFY2(bilan.reussi && bilan.envoyes == 2, qPrintable(bilan.message));
        QVERIFY(Synchronise(*m_b).reussi);
        QCOMPARE(m_b->Libelles(AvecTexte), QStringList({"Courses Pain et lait", "Dupont#Jean "}));
        QVERIFY(!DepotSynchro(m_b->connexion).LitEtat("jeton").isEmpty());

        // B acknowledges the lead time and deletes the note; the phone adds an event.
        m_b->connexion.Execute("UPDATE Rappel SET EtatEch2=1 WHERE Libelle='Dupont#Jean'");
        m_b->connexion.Execute("DELETE FROM Rappel WHERE Libelle='Courses'");
        const QString dentiste = m_a->Collection() + "dentiste.ics";
        const QByteArray evenement("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telephone//FR\r\nBEGIN:VEVENT\r\nUID:dentiste\r\n"
                                   "DTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20261230\r\nSUMMARY:Dentiste\r\nEND:VEVENT\r\n"
                                   "END:VCALENDAR\r\n");
        QCOMPARE(m_tel.Requete("PUT", dentiste, evenement).first, 201);
        QVERIFY(Synchronise(*m_b).reussi && Synchronise(*m_a).reussi);
        QCOMPARE(m_a->Libelles("Libelle || ' ' || Type || EtatEch2"), QStringList({"Dentiste N1", "Dupont#Jean A1"}));

        // The note is gone from the server too; the phone renames the birthday and deletes its own event.
        auto objets = m_tel.Objets(m_a->Collection());
        QVERIFY(objets.remove(dentiste) == 1 && objets.size() == 1
                && objets.first().contains("SUMMARY:Anniversaire de Jean Dupont (1970)"));
        QCOMPARE(m_tel.Requete("PUT", objets.firstKey(), objets.first().replace("Jean Dupont", "Jeanne Dupont")).first / 100, 2);
        QCOMPARE(m_tel.Requete("DELETE", dentiste).first / 100, 2);
        for (Maison *m : {m_a.get(), m_b.get()}) {
            QVERIFY(Synchronise(*m).reussi);
            QCOMPARE(m->Libelles(), QStringList{"Dupont#Jeanne"});
        }
    }

    // Changed on both sides: the later change wins, the other is kept as a note on both.
    void conflit()
    {
        m_a->connexion.Execute("UPDATE Rappel SET Libelle='Dupont#Jeannette'");
        m_b->connexion.Execute("UPDATE Rappel SET Libelle='Dupont#Jo'");
        QVERIFY(Synchronise(*m_a).reussi);
        const BilanSynchro bilan = Synchronise(*m_b);
        QVERIFY(bilan.reussi && bilan.conflits == 1 && bilan.message.contains("Conflit de synchronisation"));
        QVERIFY(Synchronise(*m_a).reussi);
        for (Maison *m : {m_a.get(), m_b.get()}) {
            QCOMPARE(m->Libelles(), QStringList({"Conflit de synchronisation", "Dupont#Jo"}));
            QVERIFY(m->Libelles(AvecTexte).first().contains("Jeannette Dupont"));
        }
    }

    // The server stops in the middle of the sends: nothing lost, the next exchange completes.
    void serveurArreteEnCours()
    {
        for (int i = 0; i < 30; ++i)
            m_a->Ajoute(Anniv(QStringLiteral("Famille#Enfant %1").arg(i)));
        const QStringList avant = m_a->Libelles();
        const BilanSynchro coupe = Synchronise(*m_a, Calendrier, AdresseServeur, MotDePasse, [this](int faits) {
            if (faits == 5)
                m_serveur->Arrete();
        });
        QVERIFY(!coupe.reussi && coupe.message.contains("prochaine synchronisation"));
        QCOMPARE(m_a->Libelles(), avant);
        m_serveur->Demarre();
        QVERIFY(Synchronise(*m_a).reussi && Synchronise(*m_b).reussi);
        QCOMPARE(m_b->Libelles(), avant);
        QCOMPARE(m_tel.Objets(m_a->Collection()).size(), avant.size());
    }

    // Many reminders for a calendar just made go in one request; both sides then follow each other as usual.
    void envoiGroupe()
    {
        const QString famille = "Famille";
        Maison d(m_dossier.path() + "/d"), e(m_dossier.path() + "/e");
        for (int i = 0; i < 25; ++i)
            d.Ajoute(Anniv(QStringLiteral("Cousin#N° %1").arg(i)));
        const BilanSynchro bilan = Synchronise(d, famille);
        QVERIFY2(bilan.reussi && bilan.envoyes == 25, qPrintable(bilan.message));
        QVERIFY(Synchronise(e, famille).reussi);
        const QStringList complet = d.Libelles();
        QCOMPARE(e.Libelles(), complet);
        const BilanSynchro encore = Synchronise(d, famille); // the group's tags were kept: nothing goes twice
        QCOMPARE(encore.envoyes + encore.recus, 0);

        // A restore of an older backup: rows missing, the exchange state dropped with it.
        for (const char *sql : {"DELETE FROM Rappel WHERE Libelle IN ('Cousin#N° 1', 'Cousin#N° 2')", "DROP TABLE Synchro",
                                "DROP TABLE SynchroEtat"})
            d.connexion.Execute(sql);
        QVERIFY(Synchronise(d, famille).reussi && Synchronise(e, famille).reussi);
        QCOMPARE(d.Libelles() + e.Libelles(), complet + complet);
    }

    // Plain http to another machine, a certificate nobody vouches for, a wrong password: nothing changes here.
    void refus()
    {
        Maison c(m_dossier.path() + "/c");
        c.Ajoute(Anniv("Secret#Paul"));
        Serveur tls(m_dossier.path() + "/tls", true);
        const std::tuple<QString, QString, QString> cas[] = {{"http://192.0.2.1/", MotDePasse, "https"},
                                                             {tls.Adresse("https"), MotDePasse, "certificat"},
                                                             {AdresseServeur, "faux", "mot de passe"}};
        for (const auto &[adresse, motDePasse, raison] : cas) {
            const BilanSynchro bilan = Synchronise(c, Calendrier, adresse, motDePasse);
            QVERIFY2(!bilan.reussi && bilan.message.contains(raison), qPrintable(bilan.message));
        }
        QVERIFY(!QDir(m_dossier.path() + "/tls/collections/collection-root/alice").exists());
        QCOMPARE(c.Libelles(), QStringList{"Secret#Paul"});
    }

    // oxi --synchroniser: the password from an owner-only file, never in oxi.conf.
    void ligneDeCommande()
    {
        const QString dossier = m_dossier.path() + "/cli", config = dossier + "/config/oxi";
        Maison cli(dossier); // the program's own database, beside it
        QDir().mkpath(config);
        QVERIFY(QFile::copy(OXI_EXECUTABLE, dossier + "/oxi") && QFile::copy(OXI_MODULE, dossier + "/oxi-echanges.so"));
        const QString conf = config + "/oxi.conf";
        Ecrit(conf,
              QString("[Synchronisation]\nAdresse=%1\nUtilisateur=%2\nCalendrier=Calendrier\n")
                  .arg(AdresseServeur, Utilisateur)
                  .toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dossier + "/config");
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        for (const bool ouvert : {true, false}) { // a secret others may read is refused
            Ecrit(config + "/caldav-secret", MotDePasse.toUtf8() + "\n",
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner
                      | (ouvert ? QFileDevice::ReadGroup : QFileDevice::Permissions()));
            QProcess oxi;
            oxi.setProcessEnvironment(env);
            oxi.start(dossier + "/oxi", {"--synchroniser"});
            oxi.waitForFinished(120000);
            const QString sortie = QString::fromLocal8Bit(oxi.readAllStandardError());
            QVERIFY2((oxi.exitCode() != 0) == ouvert && sortie.contains("lisible par d'autres") == ouvert, qPrintable(sortie));
        }
        QCOMPARE(cli.Libelles(), m_a->Libelles());
        QFile reglages(conf);
        const QByteArray texte = reglages.open(QIODevice::ReadOnly) ? reglages.readAll() : QByteArray();
        QVERIFY(texte.contains("Bilan=") && !texte.contains(MotDePasse.toUtf8()));
    }

private:
    QTemporaryDir m_dossier;
    std::unique_ptr<Serveur> m_serveur;
    std::unique_ptr<Maison> m_a, m_b;
    Telephone m_tel;
};

OXI_TEST_GUILESS_MAIN(TestSynchro)
#include "tst_synchro.moc"
