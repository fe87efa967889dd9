# Contacts in and calendars out through the transfer panel, then the command
# line beside the running tray program.

home=$(prepare echanges "PremiereFois/Affich=1" "Init/Annee=2026")
printf 'BEGIN:VCARD\r\nVERSION:3.0\r\nN:Dupont;Hélène;;;\r\nBDAY:1970-12-06\r\nEND:VCARD\r\n' > "$home/contacts.vcf"
printf 'BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=89tienne;Alain\nBDAY:--0909\nEND:VCARD\n' >> "$home/contacts.vcf"
printf 'BEGIN:VCARD\nVERSION:4.0\nFN:Sans Date\nEND:VCARD\n' >> "$home/contacts.vcf"
pid=$(lance_le '2026-12-06 10:00:00' "$home")
attente=0; until icone_dans_zone || [ $attente -ge 40 ]; do sleep 0.25; attente=$((attente + 1)); done
read -r ix iy <<<"$(position_icone)"
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
fenetre=$(attend_fenetre '^Oxi$' 10)
verifie "the main window opens for the exchanges" test -n "$fenetre"
sleep 1
clic_dans() { # clic_dans <window> <x> <y>: the pointer moves there first, so that a highlighted twin can take the click
  xdotool mousemove --window "$1" "$2" "$3"; sleep 0.3
  xdotool mousemove --window "$1" $(( $2 + 1 )) "$3"; sleep 0.3; xdotool click 1; sleep 0.5
}
# The transfer button of the main window (twips 5400,360 -> pixels 360,24), then the panel's import link.
clic_dans "$fenetre" 369 33
capture 60-panneau-transfert
verifie "the exchange module waits for the first exchange asked for" sans_echanges "$pid"
clic_dans "$fenetre" 110 230
choix=$(attend_fenetre '^Importer des contacts$' 10)
verifie "'Importer des contacts' opens the French file chooser" test -n "$choix"
xdotool windowfocus --sync "$choix" 2>/dev/null; xdotool type --delay 20 "$home/contacts.vcf"; xdotool key Return
import=$(attend_fenetre '^Oxi - Importer des contacts$' 10)
verifie "the counts are shown before anything is written" test -n "$import"
capture 61-import-contacts
verifie "... and is loaded for it" echanges_chargees "$pid"
verifie "nothing is written while the counts are shown" test "$(sql "$home/prog/DBOxi.dtb" 'SELECT COUNT(*) FROM Rappel;')" = "0"
xdotool windowfocus --sync "$import" 2>/dev/null; xdotool key Return
sleep 1
capture 62-import-termine
valide_boite
verifie "the cards became birthdays as the panel writes them" \
  test "$(sql "$home/prog/DBOxi.dtb" "SELECT Libelle, DateRappel, Ech1 FROM Rappel ORDER BY NumRappel;" | tr '\n' ' ')" = \
  "Dupont#Hélène|1970-12-06|2026-12-06 Étienne#Alain|1850-09-09|2026-09-09 "

clic_dans "$fenetre" 369 33
clic_dans "$fenetre" 290 230
choix=$(attend_fenetre '^Exporter vers un agenda$' 10)
verifie "'Exporter vers un agenda' asks where to save" test -n "$choix"
xdotool windowfocus --sync "$choix" 2>/dev/null; xdotool key Return
sleep 1
capture 63-export-termine
valide_boite
verifie "the calendar holds one event per reminder" test "$(grep -c '^BEGIN:VEVENT' "$home/Oxi.ics" 2>/dev/null)" = "2"

# The command line beside the running tray program.
ligne() { env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" LANG=fr_FR.UTF-8 \
  LD_PRELOAD="$LIBFAKETIME" FAKETIME="@2026-12-06 12:00:00" FAKETIME_DONT_FAKE_MONOTONIC=1 "$home/prog/oxi" "$@"; }
avant=$(empreinte "$home/prog/DBOxi.dtb")
sortie=$(ligne --aujourdhui --ephemerides 2>&1); code=$?
verifie "--aujourdhui prints today's birthday as the popup says it" \
  sh -c "[ $code -eq 0 ] && printf '%s' \"\$1\" | grep -q '^Hélène Dupont : 56 ans.\$'" _ "$sortie"
verifie "--ephemerides adds the names of the day" sh -c "printf '%s' \"\$1\" | grep -q '^Fête'" _ "$sortie"
verifie "--aujourdhui leaves the file byte-identical" test "$(empreinte "$home/prog/DBOxi.dtb")" = "$avant"
# What the dynamic loader opens, from its own trace.
ouvre_echanges() { LD_DEBUG=files "$@" 2>&1 >/dev/null | grep -qE 'oxi-echanges\.so|libical\.so|libQt6Network\.so'; }
ouvre_sans_echanges() { ! ouvre_echanges "$@"; }
verifie "--aujourdhui loads neither the exchange module nor libical nor Qt Network" ouvre_sans_echanges ligne --aujourdhui
ligne --exporter "$home/ligne.ics" >/dev/null 2>&1; code=$?
verifie "--exporter writes the calendar through its module" sh -c "[ $code -eq 0 ] && grep -q '^BEGIN:VCALENDAR' '$home/ligne.ics'"
mkdir -p "$home/seul" && cp "$home/prog/oxi" "$home/prog/DBOxi.dtb" "$home/seul/"
seule() { env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" LANG=fr_FR.UTF-8 "$home/seul/oxi" "$@"; }
seule --exporter "$home/seul.ics" >/dev/null 2>"$home/erreur.txt"; code=$?
verifie "without its module, --exporter says so in French and writes nothing" \
  sh -c "[ $code -eq 1 ] && grep -q \"module d'échanges d'Oxi (oxi-echanges.so) est introuvable\" '$home/erreur.txt' && [ ! -e '$home/seul.ics' ]"
seule --aujourdhui >/dev/null 2>&1; code=$?
verifie "... and --aujourdhui works without it" test "$code" = 0
verifie "the tray program still runs" en_vie "$pid"
verifie "--version answers in French" sh -c "printf '%s' \"\$1\" | grep -q '^Oxi version '" _ "$(ligne --version)"
ligne --inconnue >/dev/null 2>"$home/erreur.txt"; code=$?
verifie "an unknown option fails with a French message" sh -c "[ $code -ne 0 ] && grep -q 'option inconnue' '$home/erreur.txt'"
arrete "$pid"

# A new year the tray program has not seen yet: the re-arming is shown, not written.
home=$(prepare ligne-nouvel-an "PremiereFois/Affich=1" "Init/Annee=2025")
sql "$home/prog/DBOxi.dtb" "INSERT INTO Rappel VALUES (1, '1990-12-06', 'A', 'Roux#Lina', '2025-12-06', 1, '2025-11-29', 1, '1800-01-01', 1);" >/dev/null
avant=$(empreinte "$home/prog/DBOxi.dtb")
sortie=$(ligne --aujourdhui 2>&1)
verifie "--aujourdhui re-arms in memory a year the tray program has not seen" \
  test "$sortie" = "$(printf "Aujourd'hui,\nLina Roux : 36 ans.")"
verifie "... and writes neither the file nor the settings" \
  sh -c "[ '$(empreinte "$home/prog/DBOxi.dtb")' = '$avant' ] && grep -q '^Annee=2025' '$home/config/oxi/oxi.conf'"
