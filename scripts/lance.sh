#!/usr/bin/env bash
# Starts Oxi; with no display, inside a virtual X server with a tray host.
set -euo pipefail
exe=$(readlink -f "$1")
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$exe"
fi
echo "Aucun écran disponible : Oxi démarre dans un serveur X virtuel (Xvfb :77) avec une zone de notification (trayer)."
Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb ${trayer:-} 2>/dev/null || true' EXIT
export DISPLAY=:77
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
trayer=$!
unset DBUS_SESSION_BUS_ADDRESS
"$exe"
