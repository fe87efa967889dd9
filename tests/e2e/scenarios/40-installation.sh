# The installed program: put into a prefix by the install rules, started from its menu entry in a fresh
# home; its database goes to the user's data folder and survives installing again.

home=$(prepare installation "PremiereFois/Affich=1")
rm -rf "$home/prog"   # only the installed copy may run
prefixe="$TMP/prefixe"
installe() { cmake --install "$BUILD" --prefix "$prefixe" >>"$home/installation.log" 2>&1; }
verifie "the install rules run into a prefix" installe
entree="$prefixe/share/applications/oxi.desktop"
commande=$(sed -n 's/^Exec=//p' "$entree" 2>/dev/null)
verifie "the menu entry starts the installed program" test "$commande" = "$prefixe/bin/oxi" -a -x "$prefixe/bin/oxi"
verifie "the menu entry's icon is in the hicolor theme" test "$(sed -n 's/^Icon=//p' "$entree")" = oxi -a -f "$prefixe"/share/icons/hicolor/scalable/apps/oxi.svg
livree=$(empreinte "$prefixe/share/oxi/reference/DBOxi.dtb" 2>/dev/null)

xdg_open "$home" "printf '%s\\n' \"\$1\" > '$home/aide.txt'" # records the help it is given

pid=$(lance_programme "$home" "$commande" PATH="$home/bin:$PATH")
verifie "the installed program starts with its icon in the tray" attend_icone
capture 40-installe-icone
base="$home/data/oxi/DBOxi.dtb"
verifie "the user's database is made in the user's data folder" test -f "$base"
verifie "the user's database opens with the key" test "$(sql "$base" "SELECT count(*) FROM sqlite_master WHERE name IN ('Rappel', 'Notes');")" = 2

w=$(ouvre_fenetre) && xdotool windowfocus --sync "$w" 2>/dev/null && xdotool key F1 2>/dev/null
attend 10 test -s "$home/aide.txt"
verifie "F1 opens the installed help" test "$(cat "$home/aide.txt" 2>/dev/null)" = "file://$prefixe/share/oxi/HelpOxi.html"
arrete "$pid"

verifie "the shipped database is left as shipped" test "$livree" = "$(empreinte "$prefixe/share/oxi/reference/DBOxi.dtb")"
verifie "only the database is left in the user's data folder" test "$(ls -A "$home/data/oxi")" = DBOxi.dtb
rappel "$base" A 'Dupont#Marie' 1975-03-12 2027-03-12
chez "$home"; "${CHEZ[@]}" "$prefixe/bin/oxi" --exporter "$home/installe.ics" >/dev/null 2>&1; code=$?
verifie "the installed program finds its exchange module in the library folder" sh -c "[ $code -eq 0 ] && grep -q '^BEGIN:VEVENT' '$home/installe.ics'"
avant=$(empreinte "$base")
verifie "the install rules run again" installe
verifie "installing again leaves the user's database unchanged" test -n "$avant" -a "$avant" = "$(empreinte "$base" 2>/dev/null)"
