#pragma once
#include "ModuleEchanges.h"
#include "Synchroniseur.h"

#include <functional>

// The settings of the exchange and its password. The password is kept in the
// desktop's keyring; where none answers, in a file only its owner can read.
namespace oxi {

// The settings of the exchange with `motDePasse`; the calendar "Calendrier" when none is named.
ParametresSynchro ParametresEnregistres(const QString &motDePasse);
// ${XDG_CONFIG_HOME:-~/.config}/oxi/caldav-secret, beside the settings
QString CheminSecret();
// The password of that file; empty with `erreur` set when missing or readable by others.
QString LitSecret(QString *erreur);
// Writes the file with owner-only rights, atomically.
bool EcritSecret(const QString &motDePasse, QString *erreur);

// The file when present, else the keyring; `suite(motDePasse, erreur)`.
void LitMotDePasse(const std::function<void(const QString &, const QString &)> &suite);
// The keyring, else the file; `suite(message)` tells the user where it went.
void EcritMotDePasse(const QString &motDePasse, const std::function<void(bool, const QString &)> &suite);

// The time and outcome of an exchange, kept in the settings.
void NoteBilan(const BilanSynchro &bilan);

// `oxi --synchroniser`: one exchange with the main file, messages on standard error.
int SynchroniseEnLigneDeCommande();

} // namespace oxi
