#include "ClientCalDav.h"
#include "Echanges.h"
#include "ModuleEchanges.h"
#include "ReglagesSynchro.h"
#include "SynchroAuto.h"

#include <QtPlugin>

// The exchange module itself: each entry of the door hands over to the
// interchange and sync code built into the same library.
class ModuleEchangesOxi : public QObject, public oxi::ModuleEchanges
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID OXI_MODULE_ECHANGES_IID)
    Q_INTERFACES(oxi::ModuleEchanges)

public:
    QVector<oxi::FicheContact> LitFichesContacts(const QByteArray &contenu) override { return oxi::LitFichesContacts(contenu); }
    oxi::PlanImport PrepareImport(const QVector<oxi::FicheContact> &fiches) override { return oxi::PrepareImport(fiches); }
    int ImporteContacts(const oxi::PlanImport &plan, const oxi::ChoixEcheances &choix, bool fetes) override
    {
        return oxi::ImporteContacts(plan, choix, fetes);
    }
    int ExporteAgenda(const QString &chemin, QString *erreur) override { return oxi::ExporteAgenda(chemin, erreur); }
    oxi::SynchroAuto *CreeSynchroAuto(oxi::Connexion &connexion, QObject *parent) override
    {
        return new oxi::SynchroAutoCalDav(connexion, parent);
    }
    QString RefusAdresse(const QUrl &url) override { return oxi::RefusAdresse(url); }
    void EcritMotDePasse(const QString &motDePasse, const std::function<void(bool, const QString &)> &suite) override
    {
        oxi::EcritMotDePasse(motDePasse, suite);
    }
    int SynchroniseEnLigneDeCommande() override { return oxi::SynchroniseEnLigneDeCommande(); }
};

#include "ModuleEchangesOxi.moc"
