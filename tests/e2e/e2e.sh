#!/usr/bin/env bash
# End-to-end scenarios: the real oxi binary in a real X server (Xvfb) with a
# tray host (trayer), each in its own temporary home. Screenshots are kept
# under <build>/e2e/ for people to look at.
set -uo pipefail

BUILD=$(readlink -f "${1:-build}")
ICI=$(dirname "$(readlink -f "$0")")
OXI="$BUILD/oxi"
CAPTURES="$BUILD/e2e"
mkdir -p "$CAPTURES"
TMP=$(mktemp -d)
ECRAN=":$(( 90 + RANDOM % 100 ))"
reussis=0
echecs=0

nettoie() {
  pkill -KILL -f "$TMP/" 2>/dev/null
  [ -n "${TRAYER:-}" ] && kill "$TRAYER" 2>/dev/null
  [ -n "${XVFB:-}" ] && kill "$XVFB" 2>/dev/null
  if [ -n "${GARDE:-}" ]; then echo "kept: $TMP"; else rm -rf "$TMP"; fi
}
trap nettoie EXIT

ok() { echo "PASS: $1"; reussis=$((reussis + 1)); }
ko() { echo "FAIL: $1"; echecs=$((echecs + 1)); }
# The check runs in a subshell: an unset variable or a failing step fails that
# check only, and the scenarios after it still run.
verifie() { local nom=$1; shift; if ( "$@" ); then ok "$nom"; else ko "$nom"; fi; }

demarre_x() {
  Xvfb "$ECRAN" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB=$!
  export DISPLAY=$ECRAN
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  demarre_zone
}
demarre_zone() {
  trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
  TRAYER=$!
  sleep 0.5
}

# A fresh home: the program copied with its exchange module and its shipped database,
# settings given as "Section/Cle=valeur".
prepare() {
  local nom=$1; shift
  local dossier="$TMP/$nom"
  mkdir -p "$dossier/prog" "$dossier/config/oxi" "$dossier/run"
  chmod 700 "$dossier/run"
  cp "$OXI" "$dossier/prog/oxi"
  cp "$BUILD/oxi-echanges.so" "$dossier/prog/"
  cp "$BUILD/DBOxi.dtb.ref" "$dossier/prog/DBOxi.dtb"
  [ -f "$BUILD/HelpOxi.html" ] && cp "$BUILD/HelpOxi.html" "$dossier/prog/"
  : > "$dossier/config/oxi/oxi.conf"
  local section=""
  for reglage in "$@"; do
    local s=${reglage%%/*} reste=${reglage#*/}
    if [ "$s" != "$section" ]; then printf '[%s]\n' "$s" >> "$dossier/config/oxi/oxi.conf"; section=$s; fi
    printf '%s\n' "$reste" >> "$dossier/config/oxi/oxi.conf"
  done
  echo "$dossier"
}

# lance <dossier> [env...] -- runs oxi from that home in the background; prints its pid.
lance() { local dossier=$1; shift; lance_programme "$dossier" "$dossier/prog/oxi" "$@"; }
# lance_programme <dossier> <program> [env...] -- the same for a program found elsewhere.
lance_programme() {
  local dossier=$1 programme=$2; shift 2
  env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$dossier" \
    XDG_CONFIG_HOME="$dossier/config" XDG_DATA_HOME="$dossier/data" XDG_RUNTIME_DIR="$dossier/run" \
    LANG=fr_FR.UTF-8 LC_ALL= "$@" "$programme" >"$dossier/sortie.log" 2>&1 &
  echo $!
}

sql() { printf "PRAGMA key='kzwq7351';\n%s\n" "$2" | sqlcipher "$1" 2>&1 | grep -v '^ok$'; }

attend_fenetre() { # attend_fenetre <regex> [seconds]
  local fin=$(( SECONDS + ${2:-10} ))
  while [ $SECONDS -lt $fin ]; do
    xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep . && return 0
    sleep 0.2
  done
  return 1
}

visible() { attend_fenetre "$@" >/dev/null; }
capture() { import -window root "$CAPTURES/$1.png" 2>/dev/null; }
ligne_icone() { xwininfo -root -tree 2>/dev/null | grep -A8 '"panel": ("panel" "trayer")' | grep '("oxi" "oxi")'; }
icone_dans_zone() { ligne_icone >/dev/null; }
attend_icone() { local fin=$(( SECONDS + ${1:-10} )); until icone_dans_zone || [ $SECONDS -ge $fin ]; do sleep 0.25; done; }
position_icone() { # prints the centre of the embedded icon
  ligne_icone | sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\3 \4 \1 \2/' |
    awk '{ print $1 + int($3 / 2), $2 + int($4 / 2) }'
}
# The exchange module and the libraries only it needs: no process maps them until an exchange is asked for.
echanges_chargees() { grep -qE 'oxi-echanges\.so|libical\.so|libQt6Network\.so' "/proc/$1/maps"; }
sans_echanges() { en_vie "$1" && ! echanges_chargees "$1"; }
absente() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; } # no visible window of that name
en_vie() { kill -0 "$1" 2>/dev/null; }
termine() { local fin=$(( SECONDS + ${2:-5} )); while en_vie "$1" && [ $SECONDS -lt $fin ]; do sleep 0.2; done; ! en_vie "$1"; }
arrete() {
  kill "$1" 2>/dev/null; termine "$1" 3 || kill -KILL "$1" 2>/dev/null
  pkill -KILL -f "^$TMP/" 2>/dev/null; sleep 0.3
}
# Environment of a clock that starts at the given moment and keeps running
# (libfaketime preloaded straight into oxi, so that its pid is oxi's).
LIBFAKETIME=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
lance_le() { # lance_le "<YYYY-MM-DD hh:mm:ss>" <dossier> [env...]
  local moment=$1 dossier=$2; shift 2
  lance "$dossier" LD_PRELOAD="$LIBFAKETIME" FAKETIME="@$moment" FAKETIME_DONT_FAKE_MONOTONIC=1 "$@"
}
valide_boite() { # presses Enter, or the key given, in the visible message box
  local w; w=$(attend_fenetre '^Oxi$' 5) || return 1
  # Real key events (XTEST) to the focused box; synthetic ones to a window confuse the next client.
  xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key "${1:-Return}" 2>/dev/null
  sleep 0.3
}
empreinte() { sha256sum "$1" | cut -d' ' -f1; }

demarre_x
for scenario in "$ICI"/scenarios/*.sh; do
  # shellcheck source=/dev/null
  . "$scenario"
done

echo "$reussis passed, $echecs failed"
[ "$echecs" -eq 0 ]
