# The installed program: put into a prefix by the install rules, started from
# its menu entry in a fresh home; its database goes to the user's data folder
# and survives installing again.

home=$(prepare installation "PremiereFois/Affich=1")
rm -rf "$home/prog"   # only the installed copy may run
prefixe="$TMP/prefixe"
installe() { cmake --install "$BUILD" --prefix "$prefixe" >>"$home/installation.log" 2>&1; }
verifie "the install rules run into a prefix" installe
entree="$prefixe/share/applications/oxi.desktop"
commande=$(sed -n 's/^Exec=//p' "$entree" 2>/dev/null)
verifie "the menu entry starts the installed program" test "$commande" = "$prefixe/bin/oxi" -a -x "$prefixe/bin/oxi"
verifie "the menu entry's icon is in the hicolor theme" \
  test "$(sed -n 's/^Icon=//p' "$entree")" = oxi -a -f "$prefixe/share/icons/hicolor/scalable/apps/oxi.svg"
livree=$(empreinte "$prefixe/share/oxi/reference/DBOxi.dtb" 2>/dev/null)

# The help is opened through xdg-open: a stand-in records what it is given.
mkdir -p "$home/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" > "%s/aide.txt"\n' "$home" > "$home/bin/xdg-open"
chmod +x "$home/bin/xdg-open"

pid=$(lance_programme "$home" "$commande" PATH="$home/bin:$PATH")
attend_icone
verifie "the installed program starts with its icon in the tray" icone_dans_zone
capture 40-installe-icone
base="$home/data/oxi/DBOxi.dtb"
verifie "the user's database is made in the user's data folder" test -f "$base"
verifie "the user's database opens with the key" \
  test "$(sql "$base" "SELECT count(*) FROM sqlite_master WHERE name IN ('Rappel', 'Notes');")" = 2

read -r ix iy <<<"$(position_icone)"
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
if w=$(attend_fenetre '^Oxi$' 10); then
  xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key F1 2>/dev/null
fi
attente=0; until [ -s "$home/aide.txt" ] || [ $attente -ge 40 ]; do sleep 0.25; attente=$((attente + 1)); done
verifie "F1 opens the installed help" test "$(cat "$home/aide.txt" 2>/dev/null)" = "file://$prefixe/share/oxi/HelpOxi.html"
arrete "$pid"

verifie "the shipped database is left as shipped" test "$livree" = "$(empreinte "$prefixe/share/oxi/reference/DBOxi.dtb")"
verifie "only the database is left in the user's data folder" test "$(ls -A "$home/data/oxi")" = DBOxi.dtb
sql "$base" "INSERT INTO Rappel VALUES (1, '1975-03-12', 'A', 'Dupont#Marie', '2027-03-12', 0, '1800-01-01', 1, '1800-01-01', 1);" >/dev/null
env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" LANG=fr_FR.UTF-8 \
  "$prefixe/bin/oxi" --exporter "$home/installe.ics" >/dev/null 2>&1; code=$?
verifie "the installed program finds its exchange module in the library folder" \
  sh -c "[ $code -eq 0 ] && grep -q '^BEGIN:VEVENT' '$home/installe.ics'"
avant=$(empreinte "$base")
verifie "the install rules run again" installe
verifie "installing again leaves the user's database unchanged" test -n "$avant" -a "$avant" = "$(empreinte "$base" 2>/dev/null)"
