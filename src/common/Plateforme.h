#pragma once
#include "VerrouInstance.h"

#include <QString>

#include <functional>
#include <optional>

// What Oxi asks of the operating system, behind one interface so that
// tests can stand in for the desktop.
namespace oxi {

class Plateforme
{
public:
    virtual ~Plateforme() = default;

    // Takes the per-user lock of the program `nom` for the life of the process;
    // false when another process of the same user holds it.
    virtual bool PrendVerrouInstance(const QString &nom) = 0;
    // The user's regional settings as a language identifier: "040c", "080c", "0c0c", "140c", "100c", or "".
    virtual QString IdentifiantLangue() = 0;

    // Log-on start-up entry `<nom>.desktop` whose Exec= holds `donnee`.
    virtual void AjouteDemarrage(const QString &nom, const QString &donnee) = 0;
    virtual void SupprimeDemarrage(const QString &nom) = 0;
    // True when the entry exists and its Exec= names an existing file.
    virtual bool TestDemarrage(const QString &nom) = 0;

    // Opens a web address, a mailto: address or a local file with the user's
    // program for it; `siEchec` runs, from the event loop, when none opened it.
    virtual void OuvreDocument(const QString &adresse, std::function<void()> siEchec = {}) = 0;
    // Starts the first system-information program found; false when there is none.
    virtual bool LanceInfosSysteme() = 0;
};

class PlateformeLinux : public Plateforme
{
public:
    bool PrendVerrouInstance(const QString &nom) override;
    QString IdentifiantLangue() override;
    void AjouteDemarrage(const QString &nom, const QString &donnee) override;
    void SupprimeDemarrage(const QString &nom) override;
    bool TestDemarrage(const QString &nom) override;
    void OuvreDocument(const QString &adresse, std::function<void()> siEchec = {}) override;
    bool LanceInfosSysteme() override;

private:
    std::optional<VerrouInstance> m_verrou;
};

// The locale name ("fr_FR") turned into the identifier.
QString IdentifiantPourLocale(const QString &nomLocale);
// Path of the autostart entry `<nom>.desktop` in the XDG autostart folder.
QString CheminDemarrage(const QString &nom);

// Takes no ownership; nullptr puts back the Linux one.
void InstallePlateforme(Plateforme *plateforme);
Plateforme &PlateformeCourante();

} // namespace oxi

namespace oxi {
// The help file: beside the executable in a build folder, among the shipped files once installed.
QString CheminAide();
// Opens the help in the browser; says where the file is when it cannot.
void OuvreAide();
// The home page set at build time; until the project has a site, the installed help.
QString AdresseSite();
// The about box's text for it: the address, or the help's name.
QString TexteSite();
// A mailto: address with `salutation` as subject and body; empty: a blank message.
QString AdresseCarte(const QString &salutation);
// Opens the user's e-mail program on that message; says so when there is none.
void EnvoieCarte(const QString &salutation);
} // namespace oxi
