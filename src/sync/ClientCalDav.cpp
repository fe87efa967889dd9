#include "ClientCalDav.h"

#include <QHostAddress>
#include <QNetworkReply>
#include <QSslError>
#include <QXmlStreamReader>

namespace oxi {

namespace {

constexpr int DelaiReponseMs = 60000;

// Reads the element the reader stands on to its end: its text, its first inner
// href and the names of its children.
void LitPropriete(QXmlStreamReader &xml, QString &texte, QString &href, QStringList &enfants)
{
    int profondeur = 1;
    bool dansHref = false;
    while (profondeur > 0 && !xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++profondeur;
            if (profondeur == 2)
                enfants << xml.name().toString();
            dansHref = xml.name() == QLatin1String("href") && href.isEmpty();
        } else if (xml.isEndElement()) {
            --profondeur;
            dansHref = false;
        } else if (xml.isCharacters()) {
            texte += xml.text();
            if (dansHref)
                href += xml.text().trimmed();
        }
    }
}

QString Chemin(const QString &href)
{
    const QUrl url(href.trimmed());
    return QUrl::fromPercentEncoding(url.path(QUrl::FullyEncoded).toUtf8());
}

int StatutHttp(const QString &ligne)
{
    // "HTTP/1.1 404 Not Found"
    return ligne.trimmed().section(QLatin1Char(' '), 1, 1).toInt();
}

} // namespace

Multistatut LitMultistatut(const QByteArray &donnees)
{
    Multistatut m;
    QXmlStreamReader xml(donnees);
    ReponseDav courante;
    QHash<QString, QString> propsBloc;
    QStringList typesBloc;
    int statutBloc = 0;
    bool dansReponse = false, dansPropstat = false, dansProp = false;
    while (!xml.atEnd()) {
        xml.readNext();
        const QStringView nom = xml.name();
        if (xml.isStartElement()) {
            if (nom == QLatin1String("response")) {
                dansReponse = true;
                courante = {};
            } else if (dansProp) {
                QString texte, href;
                QStringList enfants;
                const QString cle = nom.toString();
                LitPropriete(xml, texte, href, enfants);
                propsBloc.insert(cle, href.isEmpty() ? texte.trimmed() : Chemin(href));
                if (cle == QLatin1String("resourcetype"))
                    typesBloc = enfants;
            } else if (dansReponse && nom == QLatin1String("propstat")) {
                dansPropstat = true;
                propsBloc.clear();
                typesBloc.clear();
                statutBloc = 0;
            } else if (dansPropstat && nom == QLatin1String("prop")) {
                dansProp = true;
            } else if (dansReponse && !dansPropstat && nom == QLatin1String("href")) {
                courante.href = Chemin(xml.readElementText());
            } else if (nom == QLatin1String("status")) {
                const int s = StatutHttp(xml.readElementText());
                (dansPropstat ? statutBloc : courante.statut) = s;
            } else if (!dansReponse && nom == QLatin1String("sync-token")) {
                m.jeton = xml.readElementText().trimmed();
            }
        } else if (xml.isEndElement()) {
            if (nom == QLatin1String("prop"))
                dansProp = false;
            else if (nom == QLatin1String("propstat")) {
                dansPropstat = false;
                if (statutBloc / 100 == 2) {
                    for (auto it = propsBloc.cbegin(); it != propsBloc.cend(); ++it)
                        courante.props.insert(it.key(), it.value());
                    if (!typesBloc.isEmpty())
                        courante.types = typesBloc;
                }
            } else if (nom == QLatin1String("response")) {
                dansReponse = false;
                m.reponses.append(courante);
            }
        }
    }
    return m;
}

QString RefusAdresse(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return QStringLiteral("L'adresse du serveur n'est pas valable.");
    const QString schema = url.scheme().toLower();
    if (schema == QLatin1String("https"))
        return {};
    if (schema == QLatin1String("http")) {
        const QString hote = url.host().toLower();
        const QHostAddress adresse(hote);
        if (hote == QLatin1String("localhost") || (!adresse.isNull() && adresse.isLoopback()))
            return {};
        return QStringLiteral("Adresse refusée : un serveur distant doit être joint en https, "
                              "sans quoi le mot de passe et les rappels voyageraient en clair.");
    }
    return QStringLiteral("L'adresse du serveur doit commencer par https://.");
}

ClientCalDav::ClientCalDav(const QString &utilisateur, const QString &motDePasse, QObject *parent)
    : QObject(parent), m_autorisation("Basic " + (utilisateur + QLatin1Char(':') + motDePasse).toUtf8().toBase64())
{
    m_reseau.setRedirectPolicy(QNetworkRequest::SameOriginRedirectPolicy);
    m_reseau.setAutoDeleteReplies(true);
}

void ClientCalDav::Envoie(const QByteArray &methode, const QUrl &url, const QByteArray &corps, Suite suite,
                          const QList<QPair<QByteArray, QByteArray>> &entetes)
{
    QNetworkRequest requete(url);
    requete.setRawHeader("Authorization", m_autorisation);
    if (!corps.isEmpty())
        requete.setHeader(QNetworkRequest::ContentTypeHeader,
                          methode == "PUT" ? QByteArray("text/calendar; charset=utf-8")
                                           : QByteArray("application/xml; charset=utf-8"));
    for (const auto &[nom, valeur] : entetes)
        requete.setRawHeader(nom, valeur);
    requete.setTransferTimeout(DelaiReponseMs);
    QNetworkReply *reponse = m_reseau.sendCustomRequest(requete, methode, corps);
    ++m_enCours;
    auto erreurCertificat = std::make_shared<QString>();
    connect(reponse, &QNetworkReply::sslErrors, reponse, [erreurCertificat](const QList<QSslError> &erreurs) {
        if (!erreurs.isEmpty())
            *erreurCertificat = erreurs.first().errorString();
    });
    connect(reponse, &QNetworkReply::finished, this, [this, reponse, suite, erreurCertificat]() {
        --m_enCours;
        Reponse r;
        r.statut = reponse->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        r.corps = reponse->readAll();
        r.etag = QString::fromUtf8(reponse->rawHeader("ETag"));
        if (reponse->error() == QNetworkReply::SslHandshakeFailedError || !erreurCertificat->isEmpty())
            r.erreur = QStringLiteral("Le certificat du serveur n'est pas valable (%1) : échange arrêté.")
                           .arg(erreurCertificat->isEmpty() ? reponse->errorString() : *erreurCertificat);
        else if (r.statut == 0)
            r.erreur = QStringLiteral("Le serveur ne répond pas (%1).").arg(reponse->errorString());
        suite(r);
    });
}

} // namespace oxi
