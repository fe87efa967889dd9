#!/usr/bin/env bash
# End-to-end scenarios: the real oxi binary in a real X server (Xvfb) with a tray host (trayer), each in its
# own temporary home. Screenshots are kept under <build>/e2e/ for people to look at.
set -uo pipefail

BUILD=$(readlink -f "${1:-build}")
ICI=$(dirname "$(readlink -f "$0")")
CAPTURES="$BUILD/e2e" && mkdir -p "$CAPTURES"
TMP=$(mktemp -d)
ECRAN=":$(( 90 + RANDOM % 100 ))"
reussis=0 echecs=0

# On exit: the homes' processes, the tray host and the X server go; GARDE=1 keeps the homes.
nettoie() { pkill -KILL -f "$TMP/" 2>/dev/null; kill ${TRAYER:-} ${XVFB:-} 2>/dev/null; if [ -n "${GARDE:-}" ]; then echo "kept: $TMP"; else rm -rf "$TMP"; fi; }
trap nettoie EXIT

# The check runs in a subshell: an unset variable or a failing step fails that check only, the others still run.
verifie() { if ( "${@:2}" ); then echo "PASS: $1"; reussis=$((reussis + 1)); else echo "FAIL: $1"; echecs=$((echecs + 1)); fi; }
# attend <seconds> <command...>: until the command succeeds, boundedly.
attend() { local fin=$(( SECONDS + $1 )); shift; until "$@"; do [ $SECONDS -ge $fin ] && return 1; sleep 0.2; done; }

demarre_zone() { trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & TRAYER=$!; sleep 0.5; }

# A fresh home: the program copied with its exchange module and shipped database, settings as "Section/Cle=valeur".
prepare() {
  local dossier="$TMP/$1" section="" reglage; shift
  mkdir -p "$dossier/prog" "$dossier/config/oxi" && mkdir -m 700 "$dossier/run"
  cp "$BUILD/oxi" "$BUILD/oxi-echanges.so" "$dossier/prog/" && cp "$BUILD/DBOxi.dtb.ref" "$dossier/prog/DBOxi.dtb"
  [ -f "$BUILD/HelpOxi.html" ] && cp "$BUILD/HelpOxi.html" "$dossier/prog/"
  for reglage in "$@"; do
    [ "${reglage%%/*}" != "$section" ] && section=${reglage%%/*} && printf '[%s]\n' "$section"
    printf '%s\n' "${reglage#*/}"
  done > "$dossier/config/oxi/oxi.conf"
  echo "$dossier"
}

# chez <dossier>: CHEZ becomes the env command line of that home, in French.
chez() {
  CHEZ=(env -u DBUS_SESSION_BUS_ADDRESS -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME="$1" XDG_CONFIG_HOME="$1/config"
        XDG_DATA_HOME="$1/data" XDG_RUNTIME_DIR="$1/run" LANG=fr_FR.UTF-8 LC_ALL=)
}
# lance_programme <dossier> <program> [env...] -- runs it in the background; prints its pid.
lance_programme() { local dossier=$1 programme=$2; shift 2; chez "$dossier"; "${CHEZ[@]}" "$@" "$programme" >"$dossier/sortie.log" 2>&1 & echo $!; }
lance() { local dossier=$1; shift; lance_programme "$dossier" "$dossier/prog/oxi" "$@"; }
# A clock that starts at the given moment and keeps running (libfaketime preloaded straight into oxi, so that its pid is oxi's).
LIBFAKETIME=$(ls /usr/lib/*/faketime/libfaketime.so.1 2>/dev/null | head -1)
# lance_le "<YYYY-MM-DD hh:mm:ss>" <dossier> [env...]
lance_le() { local dossier=$2; lance "$dossier" LD_PRELOAD="$LIBFAKETIME" FAKETIME="@$1" FAKETIME_DONT_FAKE_MONOTONIC=1 "${@:3}"; }

# A stand-in for the desktop's opener (browser, e-mail) in the home's bin folder: the given shell line.
xdg_open() { mkdir -p "$1/bin"; printf '#!/bin/sh\n%s\n' "$2" > "$1/bin/xdg-open"; chmod +x "$1/bin/xdg-open"; }
sql() { printf "PRAGMA key='kzwq7351';\n%s\n" "$2" | sqlcipher "$1" 2>&1 | grep -v '^ok$'; }
# rappel <base> <type> <title> <date> <due> [done] [second due]: one reminder row, its other slots unused.
rappel() { sql "$1" "INSERT INTO Rappel VALUES (NULL, '$4', '$2', '$3', '$5', ${6:-0}, '${7:-1800-01-01}', 1, '1800-01-01', 1);" >/dev/null; }
# base_vaut <expected> <query>: the query's rows, joined by blanks, in the database of $home.
base_vaut() { [ "$(sql "$home/prog/DBOxi.dtb" "$2" | paste -sd ' ')" = "$1" ]; }
empreinte() { sha256sum "$1" | cut -d' ' -f1; }
capture() { import -window root "$CAPTURES/$1.png" 2>/dev/null; }

fenetre() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 | grep .; }
attend_fenetre() { attend "${2:-10}" fenetre "$1"; } # attend_fenetre <regex> [seconds]: prints the window
visible() { attend_fenetre "$@" >/dev/null; }
absente() { ! fenetre "$1" >/dev/null; }
ligne_icone() { xwininfo -root -tree 2>/dev/null | grep -A8 '"panel": ("panel" "trayer")' | grep '("oxi" "oxi")'; }
attend_icone() { attend "${1:-10}" ligne_icone >/dev/null; } # attend_icone [seconds]: the icon is in the tray
clic_icone() { # on the centre of the embedded icon
  local x y l h; attend_icone
  read -r l h x y <<<"$(ligne_icone | sed -E 's/.* ([0-9]+)x([0-9]+)\+-?[0-9]+\+-?[0-9]+ +\+(-?[0-9]+)\+(-?[0-9]+).*/\1 \2 \3 \4/')"
  xdotool mousemove $(( x + l / 2 )) $(( y + h / 2 )) click "$@"
}
ouvre_fenetre() { clic_icone --repeat 2 --delay 80 1; attend_fenetre '^Oxi$' 10; } # double-click; prints the main window
menu_icone() { clic_icone 3; sleep 0.8; [ -n "${2:-}" ] && capture "$2"; xdotool key "$1"; } # <item letter> [capture]
# Presses Enter, or the key given, in the visible message box: real key events (XTEST) to the focused box,
# as synthetic ones to a window confuse the next client.
valide_boite() { local w; w=$(attend_fenetre '^Oxi$' 5) && xdotool windowfocus --sync "$w" 2>/dev/null && xdotool key "${1:-Return}" 2>/dev/null; sleep 0.3; }

# The exchange module and the libraries only it needs: no process maps them until an exchange is asked for.
echanges_chargees() { grep -qE 'oxi-echanges\.so|libical\.so|libQt6Network\.so' "/proc/$1/maps"; }
sans_echanges() { en_vie "$1" && ! echanges_chargees "$1"; }
en_vie() { kill -0 "$1" 2>/dev/null; }
mort() { ! en_vie "$1"; }
termine() { attend "${2:-5}" mort "$1"; }
arrete() { kill "$1" 2>/dev/null; termine "$1" 3 || kill -KILL "$1" 2>/dev/null; pkill -KILL -f "^$TMP/" 2>/dev/null; sleep 0.3; }

Xvfb "$ECRAN" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & XVFB=$!
export DISPLAY=$ECRAN
attend 5 xdpyinfo >/dev/null 2>&1
demarre_zone
for scenario in "$ICI"/scenarios/*.sh; do
  # shellcheck source=/dev/null
  . "$scenario"
done

echo "$reussis passed, $echecs failed"
[ "$echecs" -eq 0 ]
