#!/usr/bin/env bash
# make bench: start-up and memory of Oxi against a minimal Qt tray program,
# the data paths at 100, 1,000 and 10,000 reminders, the CPU of an idle Oxi,
# and `oxi --aujourdhui` beside Debian's `remind` on the same 10,000 reminders.
# Usage: bench.sh <build dir> [runs]
set -euo pipefail
build=$(readlink -f "$1")
runs=${2:-7}
source=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d /tmp/oxi-bench.XXXXXX)
pids=()
finish() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; rm -rf "$work"; }
trap finish EXIT

type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
echo "Construction du programme minimal et du banc de mesure ($type)..."
cmake -S "$source/bench/minimal" -B "$build/bench-minimal" -DCMAKE_BUILD_TYPE="$type" >/dev/null
cmake --build "$build/bench-minimal" >/dev/null
cmake --build "$build" --target oxi_bench oxi_bench_synchro >/dev/null

# A private display with a tray host; no D-Bus tray.
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$work/run" && mkdir -m 700 "$XDG_RUNTIME_DIR"
export LANG=fr_FR.UTF-8 QT_QPA_PLATFORM=xcb
disp=:$((90 + RANDOM % 100))
Xvfb "$disp" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
export DISPLAY=$disp
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 100); do tray=$(xdotool search --classname '^panel$' 2>/dev/null | head -1 || true); [ -n "$tray" ] && break; sleep 0.05; done
[ -n "${tray:-}" ] || { echo "trayer ne démarre pas"; exit 1; }

# Oxi in a folder of its own under a name of its own, so that no other running
# copy makes it refuse to start; settings that open no window.
mkdir -p "$work/appli" "$work/config/oxibench"
cp "$build/oxi" "$work/appli/oxibench"
cp "$build/DBOxi.dtb.ref" "$work/appli/DBOxi.dtb"
printf '[PremiereFois]\nAffich=1\n[Init]\nAnnee=%s\n' "$(date +%Y)" > "$work/config/oxibench/oxibench.conf"
export XDG_CONFIG_HOME="$work/config"

icones() { xwininfo -children -id "$tray" 2>/dev/null | grep -c '^ *0x' || true; }

# Seconds from the start to the icon in the tray, then the peak resident memory.
demarre() {
  local avant debut pid
  avant=$(icones)
  debut=$(date +%s.%N)
  "$@" >/dev/null 2>&1 & pid=$!
  while [ "$(icones)" -le "$avant" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "échec"; return; }
    sleep 0.002
  done
  local fin; fin=$(date +%s.%N)
  sleep 1
  local memoire; memoire=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  while [ "$(icones)" -gt "$avant" ]; do sleep 0.01; done
  echo "$(echo "$fin - $debut" | bc) $memoire"
}

mediane() { sort -g | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

echo "Démarrage jusqu'à l'icône ($runs fois chacun, en alternance)..."
: > "$work/oxi.txt"; : > "$work/minimal.txt"
demarre "$work/appli/oxibench" >/dev/null; demarre "$build/bench-minimal/minimal" >/dev/null   # caches warm
for _ in $(seq "$runs"); do
  demarre "$work/appli/oxibench" >> "$work/oxi.txt"
  demarre "$build/bench-minimal/minimal" >> "$work/minimal.txt"
done
if grep -q échec "$work/oxi.txt" "$work/minimal.txt"; then echo "un programme n'a pas démarré"; exit 1; fi
t_oxi=$(awk '{print $1*1000}' "$work/oxi.txt" | mediane)
t_min=$(awk '{print $1*1000}' "$work/minimal.txt" | mediane)
m_oxi=$(awk '{print $2/1024}' "$work/oxi.txt" | mediane)
m_min=$(awk '{print $2/1024}' "$work/minimal.txt" | mediane)

echo "Oxi au repos pendant 60 s..."
"$work/appli/oxibench" >/dev/null 2>&1 & oxi=$!; pids+=($oxi)
sleep 3
tic=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$oxi/stat"; }
c0=$(cpu); s0=$(date +%s.%N)
sleep 60
c1=$(cpu); s1=$(date +%s.%N)
kill "$oxi"
repos=$(echo "scale=4; 100 * ($c1 - $c0) / $tic / ($s1 - $s0)" | bc)

echo "Chemins de données à 100, 1 000 et 10 000 rappels ($runs fois chacun)..."
"$build/bench/oxi_bench" "$build/DBOxi.dtb.ref" "$runs" > "$work/donnees.txt"
# The server's storage in memory: on disk, Radicale's own fsync of every object outweighs all the rest.
echo "Synchronisation de 10 000 rappels avec un Radicale local (stockage en mémoire)..."
OXI_BANC_STOCKAGE=/dev/shm "$build/bench/oxi_bench_synchro" "$build/DBOxi.dtb.ref" 10000 >> "$work/donnees.txt"

echo "oxi --aujourdhui et remind sur 10 000 rappels ($runs fois chacun, en alternance)..."
command -v remind >/dev/null || { echo "remind manque (paquet Debian remind)"; exit 1; }
mkdir -p "$work/cli/config/oxi"
cp "$build/oxi" "$work/cli/oxi"
"$build/bench/oxi_bench" --ligne-commande "$build/DBOxi.dtb.ref" "$work/cli"
printf '[Init]\nAnnee=%s\n' "$(date +%Y)" > "$work/cli/config/oxi/oxi.conf"
# Whole processes, from start to exit, key derivation included.
processus() { local debut; debut=$(date +%s.%N); "$@" >/dev/null 2>&1 || echo "échec"; echo "($(date +%s.%N) - $debut) * 1000" | bc; }
: > "$work/cli-oxi.txt"; : > "$work/cli-remind.txt"
for _ in $(seq "$runs"); do
  XDG_CONFIG_HOME="$work/cli/config" processus "$work/cli/oxi" --aujourdhui >> "$work/cli-oxi.txt"
  processus remind -q "$work/cli/rappels.rem" >> "$work/cli-remind.txt"
done
if grep -q échec "$work/cli-oxi.txt" "$work/cli-remind.txt"; then echo "oxi --aujourdhui ou remind a échoué"; exit 1; fi
c_oxi=$(mediane < "$work/cli-oxi.txt")
c_remind=$(mediane < "$work/cli-remind.txt")

verdict() { if [ "$(echo "$1" | bc)" = 1 ]; then echo "atteint"; else echo "MANQUÉ"; fi; }
echo
echo "Machine : $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'), $(nproc) cœurs, $(free -g | awk '/Mem:/ {print $2}') Go, $(uname -sr)"
echo "Médianes de $runs mesures."
echo
printf '| %-52s | %12s | %-22s | %-8s |\n' "Mesure" "Valeur" "Objectif" "Verdict"
printf '|%s|%s|%s|%s|\n' "$(printf -- '-%.0s' {1..54})" "$(printf -- '-%.0s' {1..14})" "$(printf -- '-%.0s' {1..24})" "$(printf -- '-%.0s' {1..10})"
ligne() { printf '| %-52s | %12s | %-22s | %-8s |\n' "$1" "$2" "$3" "$4"; }
ratio=$(echo "scale=2; $t_oxi / $t_min" | bc)
ligne "Démarrage jusqu'à l'icône, programme minimal" "$(printf '%.0f ms' "$t_min")" "" ""
ligne "Démarrage jusqu'à l'icône, Oxi" "$(printf '%.0f ms' "$t_oxi")" "" ""
ligne "Rapport Oxi / minimal" "$ratio" "≤ 1,25" "$(verdict "$ratio <= 1.25")"
ligne "Mémoire de pointe, programme minimal" "$(printf '%.1f Mo' "$m_min")" "" ""
ligne "Mémoire de pointe, Oxi" "$(printf '%.1f Mo' "$m_oxi")" "≤ minimal + 5 Mo" "$(verdict "$m_oxi <= $m_min + 5")"
ligne "Processeur d'Oxi au repos sur 60 s" "$repos %" "< 0,1 %" "$(verdict "$repos < 0.1")"
ligne "10 000 rappels : remind -q (Debian)" "$(printf '%.0f ms' "$c_remind")" "" ""
ligne "10 000 rappels : oxi --aujourdhui" "$(printf '%.0f ms' "$c_oxi")" "≤ remind + 10 ms" "$(verdict "$c_oxi <= $c_remind + 10")"
while IFS=$'\t' read -r nombre quoi ms _; do
  objectif=""; v=""
  case "$quoi" in
    "recherche des rappels dus") [ "$nombre" = 10000 ] && objectif="≤ 10 ms" && v=$(verdict "$ms <= 10") ;;
    liste*|tri*) objectif="≤ 200 ms"; v=$(verdict "$ms <= 200") ;;
    sauvegarde|restauration)
      if [ "$nombre" = 10000 ]; then objectif="≤ 150 ms"; v=$(verdict "$ms <= 150")
      else objectif="≤ 1 s"; v=$(verdict "$ms <= 1000"); fi ;;
    "réarmement annuel") [ "$nombre" = 10000 ] && objectif="≤ 50 ms" && v=$(verdict "$ms <= 50") ;;
    *"premier envoi") objectif="< 30 s"; v=$(verdict "$ms < 30000") ;;
    *"un changement"*) objectif="< 1 s"; v=$(verdict "$ms < 1000") ;;
  esac
  ligne "$(printf "%'d" "$nombre" | sed 's/,/ /g') rappels : $quoi" "$ms ms" "$objectif" "$v"
done < "$work/donnees.txt"
