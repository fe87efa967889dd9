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

const QString Utilisateur = QStringLiteral("alice");
const QString MotDePasse = QStringLiteral("s3cret");

void Ecrit(const QString &chemin, const QByteArray &contenu)
{
    QFile f(chemin);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenu);
}

// A copy of the reference database, owner-only as the program keeps it.
void CopieBase(const QString &chemin)
{
    QVERIFY(QFile::copy(QStringLiteral(OXI_BASE_REFERENCE), chemin));
    QFile::setPermissions(chemin, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// A Radicale of our own on a free loopback port, stopped by its destructor.
class Serveur
{
public:
    explicit Serveur(const QString &dossier, bool tls = false) : m_dossier(dossier)
    {
        QTcpServer libre;
        libre.listen(QHostAddress::LocalHost, 0);
        m_port = libre.serverPort();
        libre.close();
        QDir().mkpath(dossier);
        Ecrit(dossier + QStringLiteral("/utilisateurs"), (Utilisateur + QLatin1Char(':') + MotDePasse).toUtf8());
        QString config = QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                                        "htpasswd_filename = %2/utilisateurs\nhtpasswd_encryption = plain\n"
                                        "[storage]\nfilesystem_folder = %2/collections\n[logging]\nlevel = error\n")
                             .arg(m_port)
                             .arg(dossier);
        if (tls) {
            QProcess openssl;
            openssl.setStandardOutputFile(QProcess::nullDevice());
            openssl.setStandardErrorFile(QProcess::nullDevice());
            openssl.start(QStringLiteral("openssl"),
                          QStringLiteral("req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 "
                                         "-keyout %1/cle.pem -out %1/cert.pem")
                              .arg(dossier)
                              .split(QLatin1Char(' ')));
            openssl.waitForFinished();
            config.replace(QStringLiteral("[auth]"),
                           QStringLiteral("ssl = True\ncertificate = %1/cert.pem\nkey = %1/cle.pem\n[auth]").arg(dossier));
        }
        Ecrit(dossier + QStringLiteral("/config"), config.toUtf8());
        Demarre();
    }
    ~Serveur() { Arrete(); }

    void Demarre()
    {
        m_processus.setStandardOutputFile(QProcess::nullDevice());
        m_processus.setStandardErrorFile(QProcess::nullDevice());
        m_processus.start(QStringLiteral("radicale"), {QStringLiteral("--config"), m_dossier + QStringLiteral("/config")});
        QVERIFY(m_processus.waitForStarted());
        for (int essai = 0; essai < 100; ++essai) { // until it listens, boundedly
            QTcpSocket sonde;
            sonde.connectToHost(QHostAddress::LocalHost, m_port);
            if (sonde.waitForConnected(100))
                return;
            QTest::qWait(100);
        }
        QFAIL("Radicale ne démarre pas");
    }
    void Arrete()
    {
        if (m_processus.state() == QProcess::NotRunning)
            return;
        m_processus.kill();
        m_processus.waitForFinished();
    }
    QString Adresse(const char *schema = "http") const
    {
        return QStringLiteral("%1://127.0.0.1:%2/").arg(QString::fromLatin1(schema)).arg(m_port);
    }

private:
    QString m_dossier;
    quint16 m_port = 0;
    QProcess m_processus;
};

// One computer: its own copy of the database.
struct Maison
{
    explicit Maison(const QString &dossier)
    {
        const QString chemin = dossier + QStringLiteral("/DBOxi.dtb");
        QDir().mkpath(dossier);
        CopieBase(chemin);
        if (!connexion.Ouvre(chemin, CleBase))
            qFatal("base illisible");
        connexion.Execute(QStringLiteral("DELETE FROM Rappel"));
        connexion.Execute(QStringLiteral("DELETE FROM Notes"));
    }
    // One column or expression of every reminder, by title.
    QStringList Libelles(const QString &colonne = QStringLiteral("Libelle"))
    {
        QStringList l;
        for (const Resultat r = connexion.Requete(QStringLiteral("SELECT %1 FROM Rappel ORDER BY Libelle").arg(colonne));
             const auto &ligne : r.lignes)
            l << ligne[0].toString();
        return l;
    }
    QString Texte(const QString &libelle)
    {
        const Resultat r =
            connexion.Requete(QStringLiteral("SELECT coalesce(n.Libelle1, '') || coalesce(n.Libelle2, '') FROM Rappel r "
                                             "JOIN Notes n ON n.NumNote = r.NumRappel WHERE r.Libelle = ?"),
                              {libelle});
        return r.Vide() ? QString() : r.Valeur(0, 0).toString();
    }
    qint64 Ajoute(const Contenu &c) { return DepotSynchro(connexion).AjouteRappel(c, Aujourdhui()); }
    Connexion connexion;
};

BilanSynchro Synchronise(Maison &maison, const QString &adresse, const std::function<void(int)> &surAvance = {},
                         const QString &calendrier = QStringLiteral("Calendrier"), const QString &motDePasse = MotDePasse)
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
    QPair<int, QByteArray> Requete(const QByteArray &methode, const QString &url, const QByteArray &corps = {},
                                   const QByteArray &profondeur = {})
    {
        QNetworkRequest r{QUrl(url)};
        r.setRawHeader("Authorization", "Basic " + (Utilisateur + QLatin1Char(':') + MotDePasse).toUtf8().toBase64());
        if (!profondeur.isEmpty())
            r.setRawHeader("Depth", profondeur);
        r.setHeader(QNetworkRequest::ContentTypeHeader, methode == "PUT" ? "text/calendar" : "application/xml");
        QNetworkReply *reponse = reseau.sendCustomRequest(r, methode, corps);
        QEventLoop boucle;
        QObject::connect(reponse, &QNetworkReply::finished, &boucle, &QEventLoop::quit);
        boucle.exec();
        const QPair<int, QByteArray> resultat{reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                                              reponse->readAll()};
        reponse->deleteLater();
        return resultat;
    }
    // The calendar's objects: href -> text.
    QMap<QString, QByteArray> Objets(const QString &adresse, const QString &collection)
    {
        const auto r = Requete("REPORT", adresse + collection.mid(1),
                               "<c:calendar-query xmlns:d=\"DAV:\" xmlns:c=\"urn:ietf:params:xml:ns:caldav\"><d:prop>"
                               "<c:calendar-data/></d:prop><c:filter><c:comp-filter name=\"VCALENDAR\"/></c:filter>"
                               "</c:calendar-query>",
                               "1");
        QMap<QString, QByteArray> objets;
        for (const ReponseDav &rep : LitMultistatut(r.second).reponses)
            if (rep.props.contains(QStringLiteral("calendar-data")))
                objets.insert(rep.href, rep.props.value(QStringLiteral("calendar-data")).toUtf8());
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
        qputenv("XDG_CONFIG_HOME", (m_dossier.path() + QStringLiteral("/config")).toUtf8());
        m_serveur = std::make_unique<Serveur>(m_dossier.path() + QStringLiteral("/serveur"));
        m_a = std::make_unique<Maison>(m_dossier.path() + QStringLiteral("/a"));
        m_b = std::make_unique<Maison>(m_dossier.path() + QStringLiteral("/b"));
    }
    void cleanupTestCase() { m_serveur.reset(); }

    // Added, acknowledged, changed and deleted on either side, and by a phone.
    void deuxOrdinateursEtUnTelephone()
    {
        const QString adresse = m_serveur->Adresse();
        m_a->Ajoute(Anniv(QStringLiteral("Dupont#Jean")));
        m_a->Ajoute(Note(QStringLiteral("Courses"), QStringLiteral("Pain et lait")));
        BilanSynchro bilan = Synchronise(*m_a, adresse);
        QVERIFY2(bilan.reussi, qPrintable(bilan.message));
        QCOMPARE(bilan.envoyes, 2);
        bilan = Synchronise(*m_b, adresse);
        QVERIFY2(bilan.reussi, qPrintable(bilan.message));
        QCOMPARE(m_b->Libelles(), m_a->Libelles());
        QCOMPARE(m_b->Texte(QStringLiteral("Courses")), QStringLiteral("Pain et lait"));
        QVERIFY(!DepotSynchro(m_b->connexion).LitEtat(QStringLiteral("jeton")).isEmpty());

        // B acknowledges the lead time and deletes the note; the phone adds an event.
        m_b->connexion.Execute(QStringLiteral("UPDATE Rappel SET EtatEch2=1 WHERE Libelle='Dupont#Jean'"));
        m_b->connexion.Execute(QStringLiteral("DELETE FROM Rappel WHERE Libelle='Courses'"));
        const QString collection = DepotSynchro(m_a->connexion).LitEtat(QStringLiteral("collection"));
        QCOMPARE(m_tel
                     .Requete("PUT", adresse + collection.mid(1) + QStringLiteral("dentiste.ics"),
                              "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Telephone//FR\r\nBEGIN:VEVENT\r\nUID:dentiste\r\n"
                              "DTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:20261230\r\nSUMMARY:Dentiste\r\nEND:VEVENT\r\nEND:"
                              "VCALENDAR\r\n")
                     .first,
                 201);
        QVERIFY(Synchronise(*m_b, adresse).reussi);
        QVERIFY(Synchronise(*m_a, adresse).reussi);
        QCOMPARE(m_a->Libelles(QStringLiteral("Libelle || ' ' || Type || EtatEch2")),
                 QStringList({QStringLiteral("Dentiste N1"), QStringLiteral("Dupont#Jean A1")}));

        // The phone renames the birthday and deletes its own event.
        const auto objets = m_tel.Objets(adresse, collection);
        QString hrefAnniv;
        for (auto it = objets.cbegin(); it != objets.cend(); ++it)
            if (it.value().contains("X-OXI-TYPE:A"))
                hrefAnniv = it.key();
        QVERIFY(!hrefAnniv.isEmpty());
        QByteArray modifie = objets.value(hrefAnniv);
        modifie.replace("SUMMARY:Anniversaire de Jean Dupont (1970)", "SUMMARY:Anniversaire de Jeanne Dupont (1970)");
        QCOMPARE(m_tel.Requete("PUT", adresse + hrefAnniv.mid(1), modifie).first / 100, 2);
        QCOMPARE(m_tel.Requete("DELETE", adresse + collection.mid(1) + QStringLiteral("dentiste.ics")).first / 100, 2);
        for (Maison *m : {m_a.get(), m_b.get()}) {
            QVERIFY(Synchronise(*m, adresse).reussi);
            QCOMPARE(m->Libelles(), QStringList{QStringLiteral("Dupont#Jeanne")});
        }
    }

    // Changed on both sides: the later change wins, the other is kept as a note on both.
    void conflit()
    {
        const QString adresse = m_serveur->Adresse();
        m_a->connexion.Execute(QStringLiteral("UPDATE Rappel SET Libelle='Dupont#Jeannette'"));
        m_b->connexion.Execute(QStringLiteral("UPDATE Rappel SET Libelle='Dupont#Jo'"));
        QVERIFY(Synchronise(*m_a, adresse).reussi);
        const BilanSynchro bilan = Synchronise(*m_b, adresse);
        QVERIFY(bilan.reussi);
        QCOMPARE(bilan.conflits, 1);
        QVERIFY(bilan.message.contains(QStringLiteral("Conflit de synchronisation")));
        QVERIFY(Synchronise(*m_a, adresse).reussi);
        for (Maison *m : {m_a.get(), m_b.get()}) {
            QCOMPARE(m->Libelles(), QStringList({QStringLiteral("Conflit de synchronisation"), QStringLiteral("Dupont#Jo")}));
            QVERIFY(m->Texte(QStringLiteral("Conflit de synchronisation")).contains(QStringLiteral("Jeannette Dupont")));
        }
    }

    // The server stops in the middle of the sends: nothing lost, the next exchange completes.
    void serveurArreteEnCours()
    {
        const QString adresse = m_serveur->Adresse();
        for (int i = 0; i < 30; ++i)
            m_a->Ajoute(Anniv(QStringLiteral("Famille#Enfant %1").arg(i)));
        const QStringList avant = m_a->Libelles();
        const BilanSynchro coupe = Synchronise(*m_a, adresse, [this](int faits) {
            if (faits == 5)
                m_serveur->Arrete();
        });
        QVERIFY(!coupe.reussi);
        QVERIFY(coupe.message.contains(QStringLiteral("prochaine synchronisation")));
        QCOMPARE(m_a->Libelles(), avant);
        m_serveur->Demarre();
        QVERIFY(Synchronise(*m_a, adresse).reussi);
        QVERIFY(Synchronise(*m_b, adresse).reussi);
        QCOMPARE(m_b->Libelles(), avant);
        const QString collection = DepotSynchro(m_a->connexion).LitEtat(QStringLiteral("collection"));
        QCOMPARE(m_tel.Objets(adresse, collection).size(), avant.size());
    }

    // Many reminders for a calendar just made go in one request; both sides then follow each other as usual.
    void envoiGroupe()
    {
        const QString adresse = m_serveur->Adresse();
        const QString famille = QStringLiteral("Famille");
        Maison d(m_dossier.path() + QStringLiteral("/d")), e(m_dossier.path() + QStringLiteral("/e"));
        for (int i = 0; i < 25; ++i)
            d.Ajoute(Anniv(QStringLiteral("Cousin#N° %1").arg(i)));
        BilanSynchro bilan = Synchronise(d, adresse, {}, famille);
        QVERIFY2(bilan.reussi, qPrintable(bilan.message));
        QCOMPARE(bilan.envoyes, 25);
        QVERIFY(Synchronise(e, adresse, {}, famille).reussi);
        QCOMPARE(e.Libelles(), d.Libelles());
        bilan = Synchronise(d, adresse, {}, famille); // the group's tags were kept: nothing goes twice
        QCOMPARE(bilan.envoyes + bilan.recus, 0);

        // A restore of an older backup: rows missing, the exchange state dropped with it.
        const QStringList complet = d.Libelles();
        d.connexion.Execute(QStringLiteral("DELETE FROM Rappel WHERE Libelle IN ('Cousin#N° 1', 'Cousin#N° 2')"));
        d.connexion.Execute(QStringLiteral("DROP TABLE Synchro"));
        d.connexion.Execute(QStringLiteral("DROP TABLE SynchroEtat"));
        QVERIFY(Synchronise(d, adresse, {}, famille).reussi);
        QCOMPARE(d.Libelles(), complet);
        QVERIFY(Synchronise(e, adresse, {}, famille).reussi);
        QCOMPARE(e.Libelles(), complet);
    }

    // Plain http to another machine, a certificate nobody vouches for, a wrong password.
    void refus()
    {
        Maison c(m_dossier.path() + QStringLiteral("/c"));
        c.Ajoute(Anniv(QStringLiteral("Secret#Paul")));
        BilanSynchro bilan = Synchronise(c, QStringLiteral("http://192.0.2.1/"));
        QVERIFY(!bilan.reussi);
        QVERIFY(bilan.message.contains(QStringLiteral("https")));
        Serveur tls(m_dossier.path() + QStringLiteral("/tls"), true);
        bilan = Synchronise(c, tls.Adresse("https"));
        QVERIFY(!bilan.reussi);
        QVERIFY2(bilan.message.contains(QStringLiteral("certificat")), qPrintable(bilan.message));
        QVERIFY(!QDir(m_dossier.path() + QStringLiteral("/tls/collections/collection-root/alice")).exists());
        bilan = Synchronise(c, m_serveur->Adresse(), {}, QStringLiteral("Calendrier"), QStringLiteral("faux"));
        QVERIFY(bilan.message.contains(QStringLiteral("mot de passe")));
        QCOMPARE(c.Libelles(), QStringList{QStringLiteral("Secret#Paul")});
    }

    // oxi --synchroniser: the password from an owner-only file, never in oxi.conf.
    void ligneDeCommande()
    {
        const QString dossier = m_dossier.path() + QStringLiteral("/cli");
        const QString config = dossier + QStringLiteral("/config");
        QDir().mkpath(config + QStringLiteral("/oxi"));
        QVERIFY(QFile::copy(QStringLiteral(OXI_EXECUTABLE), dossier + QStringLiteral("/oxi")));
        QVERIFY(QFile::copy(QStringLiteral(OXI_MODULE), dossier + QStringLiteral("/oxi-echanges.so")));
        CopieBase(dossier + QStringLiteral("/DBOxi.dtb"));
        QFile conf(config + QStringLiteral("/oxi/oxi.conf"));
        Ecrit(conf.fileName(),
              QStringLiteral("[Synchronisation]\nAdresse=%1\nUtilisateur=%2\nCalendrier=Calendrier\n")
                  .arg(m_serveur->Adresse(), Utilisateur)
                  .toUtf8());
        const QString secret = config + QStringLiteral("/oxi/caldav-secret");
        Ecrit(secret, MotDePasse.toUtf8() + "\n");

        auto lance = [&]() {
            QProcess oxi;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
            env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
            oxi.setProcessEnvironment(env);
            oxi.start(dossier + QStringLiteral("/oxi"), {QStringLiteral("--synchroniser")});
            oxi.waitForFinished(120000);
            return QPair<int, QString>(oxi.exitCode(), QString::fromLocal8Bit(oxi.readAllStandardError()));
        };
        QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
        auto [code, sortie] = lance();
        QVERIFY(code != 0);
        QVERIFY2(sortie.contains(QStringLiteral("lisible par d'autres")), qPrintable(sortie));
        QFile::setPermissions(secret, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        std::tie(code, sortie) = lance();
        QVERIFY2(code == 0, qPrintable(sortie));
        Connexion cli;
        QVERIFY(cli.Ouvre(dossier + QStringLiteral("/DBOxi.dtb"), CleBase));
        QCOMPARE(cli.Requete(QStringLiteral("SELECT count(*) FROM Rappel")).Valeur(0, 0).toInt(), m_a->Libelles().size());
        QVERIFY(conf.open(QIODevice::ReadOnly));
        const QByteArray reglages = conf.readAll();
        QVERIFY(reglages.contains("Bilan="));
        QVERIFY(!reglages.contains(MotDePasse.toUtf8()));
    }

private:
    QTemporaryDir m_dossier;
    std::unique_ptr<Serveur> m_serveur;
    std::unique_ptr<Maison> m_a, m_b;
    Telephone m_tel;
};

OXI_TEST_GUILESS_MAIN(TestSynchro)
#include "tst_synchro.moc"
