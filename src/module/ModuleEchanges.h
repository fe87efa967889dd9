#pragma once
#include "Reglages.h"
#include "TypesEchanges.h"

#include <QObject>
#include <QUrl>
#include <functional>

// The door to the exchange module (oxi-echanges.so): import of contacts, export
// of calendars and the CalDAV exchange, with libical, Qt Network and the keyring
// behind it. The program loads it only when one of these is used, so that the
// tray program and `oxi --aujourdhui` never map those libraries.
namespace oxi {

class Connexion;
struct ChoixEcheances;

inline constexpr Reglage ReglageAdresse{"Synchronisation", "Adresse"};
inline constexpr Reglage ReglageUtilisateur{"Synchronisation", "Utilisateur"};
inline constexpr Reglage ReglageCalendrier{"Synchronisation", "Calendrier"};
inline constexpr Reglage ReglageDerniere{"Synchronisation", "Derniere"};
inline constexpr Reglage ReglageBilan{"Synchronisation", "Bilan"};

// True when an address is set: without one nothing is exchanged, and the module stays unloaded.
bool SynchroConfiguree();

// The exchanges of the tray program: at start, a little after each change of
// the reminders, and every 15 minutes; never two at once.
class SynchroAuto : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // An exchange now (or right after the one running).
    virtual void Lance() = 0;

signals:
    void Fini(const oxi::BilanSynchro &bilan);
};

class ModuleEchanges
{
public:
    virtual ~ModuleEchanges() = default;

    // Every card of a contact file, in order.
    virtual QVector<FicheContact> LitFichesContacts(const QByteArray &contenu) = 0;
    // What an import will do; nothing written. Throws ErreurBase.
    virtual PlanImport PrepareImport(const QVector<FicheContact> &fiches) = 0;
    // Writes the plan in one transaction; the number of name days added. Throws ErreurBase.
    virtual int ImporteContacts(const PlanImport &plan, const ChoixEcheances &choix, bool fetes) = 0;
    // Every reminder to an .ics file; -1 with a French `erreur` on failure.
    virtual int ExporteAgenda(const QString &chemin, QString *erreur) = 0;

    virtual SynchroAuto *CreeSynchroAuto(Connexion &connexion, QObject *parent) = 0;
    // Why `url` may not be used (plain http to another machine); empty when it may.
    virtual QString RefusAdresse(const QUrl &url) = 0;
    // The keyring, else an owner-only file; `suite(ecrit, message)` tells where it went.
    virtual void EcritMotDePasse(const QString &motDePasse, const std::function<void(bool, const QString &)> &suite) = 0;
    // `oxi --synchroniser`: one exchange with the main file, messages on standard error.
    virtual int SynchroniseEnLigneDeCommande() = 0;
};

} // namespace oxi

#define OXI_MODULE_ECHANGES_IID "org.oxi.ModuleEchanges/1"
Q_DECLARE_INTERFACE(oxi::ModuleEchanges, OXI_MODULE_ECHANGES_IID)

namespace oxi {

// The module linked into the program (test suites), else oxi-echanges.so beside
// the executable, else in the installed library folder. Loaded once; nullptr with
// a French `erreur` when it is missing or cannot be loaded.
ModuleEchanges *ChargeModuleEchanges(QString *erreur);
// The same, the user told through the message seam when it fails.
ModuleEchanges *ModuleEchangesOuMessage();

} // namespace oxi
