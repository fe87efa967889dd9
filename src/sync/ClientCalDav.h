#pragma once
#include <QHash>
#include <QNetworkAccessManager>
#include <QObject>
#include <QUrl>
#include <QVector>
#include <functional>

// WebDAV/CalDAV requests over Qt Network, answered asynchronously, and the
// reading of their multi-status answers. Certificate errors are never ignored.
namespace oxi {

struct Reponse
{
    int statut = 0; // HTTP status; 0 when no answer came
    QByteArray corps;
    QString etag;
    QString erreur; // in French, when no usable answer came (network, certificate)
};

struct ReponseDav
{
    QString href;                  // decoded path
    int statut = 0;                // of the response itself (sync-collection deletions)
    QHash<QString, QString> props; // found properties by local name; an inner href as text
    QStringList types;             // children of resourcetype
};

struct Multistatut
{
    QVector<ReponseDav> reponses;
    QString jeton; // sync-token of a sync-collection answer
};

Multistatut LitMultistatut(const QByteArray &xml);
// Whether `url` may be used: https anywhere, http only to this machine. Empty when it may.
QString RefusAdresse(const QUrl &url);

class ClientCalDav : public QObject
{
    Q_OBJECT
public:
    using Suite = std::function<void(const Reponse &)>;
    ClientCalDav(const QString &utilisateur, const QString &motDePasse, QObject *parent = nullptr);

    void Envoie(const QByteArray &methode, const QUrl &url, const QByteArray &corps, Suite suite,
                const QList<QPair<QByteArray, QByteArray>> &entetes = {});
    int EnCours() const { return m_enCours; }

private:
    QNetworkAccessManager m_reseau;
    QByteArray m_autorisation;
    int m_enCours = 0;
};

} // namespace oxi
