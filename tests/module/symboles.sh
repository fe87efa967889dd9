#!/usr/bin/env bash
# The exchange module holds only its own code: every symbol of the program's own layers that it uses is the
# executable's, so that there is one database connection, one change notifier, one clock. And the executable
# itself needs none of the libraries that only the module uses. Usage: symboles.sh <oxi> <oxi-echanges.so>
set -euo pipefail
exe=$1 module=$2
echoue() { echo "$1"; [ -z "${2:-}" ] || echo "$2" | c++filt; exit 1; }
# Strong definitions (code, data, read-only data): inline code and templates may be in both; all the executable's.
forts() { nm "$@" --defined-only | awk '$2 ~ /^[TDBR]$/ {print $3}' | sort -u; }
doubles=$(comm -12 <(forts -D "$module") <(forts "$exe"))
[ -z "$doubles" ] || echoue "Défini à la fois dans le module et dans l'exécutable :" "$doubles"
manquants=$(comm -23 <(nm -D --undefined-only "$module" | awk '{print $2}' | grep '3oxi' | sort -u) \
  <(nm -D --defined-only "$exe" | awk '{print $3}' | sort -u))
[ -z "$manquants" ] || echoue "Attendu par le module, absent des exports de l'exécutable :" "$manquants"
! readelf -d "$exe" | grep NEEDED | grep -E 'libical|libQt6Network|qt6keychain' || echoue "L'exécutable dépend directement d'une bibliothèque du module."
echo "Module et exécutable bien séparés."
