#!/usr/bin/env bash
# Installs the Debian packages needed to build, run and test Oxi (only the missing ones).
set -euo pipefail
paquets=(
  build-essential cmake pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-qpa-plugins qt6-translations-l10n
  libsqlcipher-dev sqlcipher libssl-dev libical-dev
  xvfb xauth trayer xdotool faketime imagemagick x11-utils
  fonts-ebgaramond fonts-liberation2 fonts-dejavu-core
  xdg-utils procps bc remind
  qtkeychain-qt6-dev radicale openssl
)
manquants=()
for p in "${paquets[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || manquants+=("$p")
done
[ ${#manquants[@]} -eq 0 ] && exit 0
echo "Installation des paquets manquants : ${manquants[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${manquants[@]}"
