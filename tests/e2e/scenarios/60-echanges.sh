# The icon's double-click shows the main window; contacts in and calendars out through the
# transfer panel; then the command line beside the running tray program.
home=$(prepare echanges "PremiereFois/Affich=1" "Init/Annee=2026")
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dupont;Hélène;;;\r\nBDAY:1970-12-06\r\nEND:VCARD\r\n' > "$home/contacts.vcf"
printf 'BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=89tienne;Alain\nBDAY:--0909\nEND:VCARD\n' >> "$home/contacts.vcf"
printf 'BEGIN:VCARD\nVERSION:4.0\nFN:Sans Date\nEND:VCARD\n' >> "$home/contacts.vcf"
pid=$(lance_le '2026-12-06 10:00:00' "$home")
fenetre=$(ouvre_fenetre)
verifie "a double-click on the icon shows the main window" test -n "$fenetre"; sleep 1
capture 50-fenetre-principale
# clic_dans <x> <y> in the main window: the pointer moves there first, so that a highlighted twin can take the click.
clic_dans() { xdotool mousemove --window "$fenetre" "$1" "$2" sleep 0.3 mousemove --window "$fenetre" $(( $1 + 1 )) "$2" sleep 0.3 click 1 sleep 0.5; }
choisit() { # choisit <x> <y> <chooser title> [file]: a link of the transfer panel, then its French file chooser answered
  clic_dans 369 33   # the transfer button of the main window (twips 5400,360 -> pixels 360,24)
  clic_dans "$1" "$2"
  local choix; choix=$(attend_fenetre "^$3\$" 10) || return 1
  xdotool windowfocus --sync "$choix" 2>/dev/null; [ -n "${4:-}" ] && xdotool type --delay 20 "$4"; xdotool key Return
}
clic_dans 369 33
capture 60-panneau-transfert
verifie "the exchange module waits for the first exchange asked for" sans_echanges "$pid"
verifie "'Importer des contacts' opens the French file chooser" choisit 110 230 'Importer des contacts' "$home/contacts.vcf"
import=$(attend_fenetre '^Oxi - Importer des contacts$' 10)
verifie "the counts are shown before anything is written" test -n "$import"
capture 61-import-contacts
verifie "... and is loaded for it" echanges_chargees "$pid"
verifie "nothing is written while the counts are shown" base_vaut 0 'SELECT COUNT(*) FROM Rappel;'
xdotool windowfocus --sync "$import" 2>/dev/null; xdotool key Return; sleep 1
capture 62-import-termine
valide_boite
verifie "the cards became birthdays as the panel writes them" base_vaut \
  "Dupont#Hélène|1970-12-06|2026-12-06 Étienne#Alain|1850-09-09|2026-09-09" "SELECT Libelle, DateRappel, Ech1 FROM Rappel ORDER BY NumRappel;"
verifie "'Exporter vers un agenda' asks where to save" choisit 290 230 'Exporter vers un agenda'; sleep 1
capture 63-export-termine
valide_boite
verifie "the calendar holds one event per reminder" test "$(grep -c '^BEGIN:VEVENT' "$home/Oxi.ics" 2>/dev/null)" = "2"

ligne() { chez "$home"; "${CHEZ[@]}" LD_PRELOAD="$LIBFAKETIME" FAKETIME="@2026-12-06 12:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 "$home/prog/oxi" "$@"; }
avant=$(empreinte "$home/prog/DBOxi.dtb")
sortie=$(ligne --aujourdhui --ephemerides 2>&1) || sortie= # a failed run prints nothing that counts
verifie "--aujourdhui prints today's birthday as the popup says it" grep -qx "Hélène Dupont : 56 ans." <<<"$sortie"
verifie "--ephemerides adds the names of the day" grep -q '^Fête' <<<"$sortie"
verifie "--aujourdhui leaves the file byte-identical" test "$(empreinte "$home/prog/DBOxi.dtb")" = "$avant"
# What the dynamic loader opens, from its own trace.
ouvre_sans_echanges() { ! LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -qE 'oxi-echanges\.so|libical\.so|libQt6Network\.so'; }
verifie "--aujourdhui loads neither the exchange module nor libical nor Qt Network" ouvre_sans_echanges ligne --aujourdhui
mkdir -p "$home/seul" && cp "$home/prog/oxi" "$home/prog/DBOxi.dtb" "$home/seul/"
seule() { chez "$home"; "${CHEZ[@]}" "$home/seul/oxi" "$@"; }
seule --exporter "$home/seul.ics" >/dev/null 2>"$home/erreur.txt"; code=$?
verifie "without its module, --exporter says so in French and writes nothing" sh -c "[ $code -eq 1 ] && [ ! -e '$home/seul.ics' ]"
verifie "... the message" grep -q "module d'échanges d'Oxi (oxi-echanges.so) est introuvable" "$home/erreur.txt"
seule --aujourdhui >/dev/null 2>&1; code=$?
verifie "... and --aujourdhui works without it" test "$code" = 0
verifie "the tray program still runs" en_vie "$pid"
verifie "--version answers in French" grep -q '^Oxi version ' <<<"$(ligne --version)"
ligne --inconnue >/dev/null 2>"$home/erreur.txt"; code=$?
verifie "an unknown option fails with a French message" sh -c "[ $code -ne 0 ] && grep -q 'option inconnue' '$home/erreur.txt'"
arrete "$pid"

# A new year the tray program has not seen yet: the re-arming is shown, not written.
home=$(prepare ligne-nouvel-an "PremiereFois/Affich=1" "Init/Annee=2025")
rappel "$home/prog/DBOxi.dtb" A 'Roux#Lina' 1990-12-06 2025-12-06 1 2025-11-29
avant=$(empreinte "$home/prog/DBOxi.dtb")
sortie=$(ligne --aujourdhui 2>&1)
verifie "--aujourdhui re-arms in memory a year the tray program has not seen" test "$sortie" = "$(printf "Aujourd'hui,\nLina Roux : 36 ans.")"
verifie "... and writes neither the file" test "$(empreinte "$home/prog/DBOxi.dtb")" = "$avant"
verifie "... nor the settings" grep -q '^Annee=2025' "$home/config/oxi/oxi.conf"
