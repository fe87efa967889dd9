# One instance per user, quitting with reminders left, the help with no browser, the window's menu with no tray.

visibles() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

home=$(prepare instance "PremiereFois/Affich=1" "Init/Annee=2026")
un=$(lance "$home"); deux=$(lance "$home")
verifie "of two simultaneous starts, one shows the message" visible '^Oxi$' 10
valide_boite
un_seul() { [ "$(en_vie "$un"; echo $?)" != "$(en_vie "$deux"; echo $?)" ]; }
verifie "of two simultaneous starts, exactly one keeps running" attend 8 un_seul
# Another user of the machine (another runtime folder) is not refused.
autre=$(prepare autre-utilisateur "PremiereFois/Affich=1" "Init/Annee=2026")
tiers=$(lance "$autre"); sleep 3
verifie "another user's Oxi starts beside it, with no message" sh -c "kill -0 $tiers && [ $(visibles '^Oxi$') -eq 0 ]"
arrete "$tiers"
# A killed holder leaves its lock file: it blocks nobody.
kill -KILL $un $deux 2>/dev/null; sleep 0.5
apres=$(lance "$home"); sleep 3
verifie "a start after a killed instance runs, with no message" sh -c "kill -0 $apres && [ $(visibles '^Oxi$') -eq 0 ]"
arrete "$apres"

# "Quitter" while the popup holds a second reminder: one question, both answers end the process.
for reponse in Return Escape; do
  home=$(prepare "quitter-$reponse" "PremiereFois/Affich=1" "Init/Annee=2026")
  rappel "$home/prog/DBOxi.dtb" N 'Courses du samedi' 2026-03-01 2026-03-01
  sql "$home/prog/DBOxi.dtb" "INSERT INTO Notes (NumNote, Libelle1) VALUES (1, 'pain' || char(10) || 'lait' || char(10) || 'beurre' || char(10) || 'œufs' || char(10) || 'farine et sucre pour le gâteau de la fête de dimanche, sans oublier les bougies');" >/dev/null
  rappel "$home/prog/DBOxi.dtb" F Aubin 2026-03-01 2026-03-01
  pid=$(lance_le '2026-03-01 09:00:00' "$home")
  verifie "the reminder popup opens ($reponse)" visible '^Oxi - Rappel$' 15
  [ "$reponse" = Return ] && capture 60-note-sur-plusieurs-lignes
  menu_icone q
  verifie "Quitter asks about the reminder left ($reponse)" visible '^Oxi$' 10
  [ "$reponse" = Return ] && capture 61-question-en-quittant
  valide_boite "$reponse"
  verifie "the process is gone within seconds ($reponse)" termine "$pid" 5
  verifie "the reminder shown is done, the other stays due ($reponse)" base_vaut 1,0 'SELECT group_concat(EtatEch1) FROM Rappel;'
  arrete "$pid"
done

# No notification area, no browser: the window's right-click menu, and the help's path said.
kill "$TRAYER" 2>/dev/null; TRAYER=; sleep 0.5
home=$(prepare sans-zone "PremiereFois/Affich=1" "Init/Annee=2026")
xdg_open "$home" 'exit 3'
pid=$(lance_le '2026-12-06 10:00:00' "$home" PATH="$home/bin:$PATH")
w=$(attend_fenetre '^Oxi$' 10)
verifie "with no tray the main window opens" test -n "$w"
xdotool windowfocus --sync "$w" 2>/dev/null; xdotool key F1; sleep 1
verifie "a help that cannot open is said in a message" test "$(visibles '^Oxi$')" -ge 2
capture 62-aide-sans-navigateur
xdotool key Return; sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$w")"
xdotool mousemove $(( X + WIDTH * 3 / 4 )) $(( Y + HEIGHT * 3 / 4 )) click 3; sleep 1
capture 63-menu-de-la-fenetre
xdotool key q
verifie "the window's own menu reaches Quitter" termine "$pid" 5
arrete "$pid"
demarre_zone

# The postcard opens the e-mail program on a greeting; "Plus tard" puts the reminder off, not done.
home=$(prepare plus-tard "PremiereFois/Affich=1" "Init/Annee=2026")
rappel "$home/prog/DBOxi.dtb" A 'Dupont#Marie' 1975-03-01 2026-03-01
xdg_open "$home" "printf %s \"\$1\" > '$home/ouvert'"
pid=$(lance_le '2026-03-01 09:00:00' "$home" PATH="$home/bin:$PATH")
w=$(attend_fenetre '^Oxi - Rappel$' 15)
verifie "a birthday due today opens the reminder popup" test -n "$w"
capture 20-rappel-du-jour
eval "$(xdotool getwindowgeometry --shell "$w")"
xdotool mousemove $(( X + 224 )) $(( Y + 20 )) sleep 0.3 mousemove $(( X + 226 )) $(( Y + 21 )) sleep 0.3 click 1; sleep 1
salut=Joyeux%20anniversaire%20Marie%20%21
verifie "the postcard opens the e-mail program on a birthday greeting" test "$(cat "$home/ouvert" 2>/dev/null)" = "mailto:?subject=$salut&body=$salut"
xdotool mousemove $(( X + 30 )) $(( Y + HEIGHT - 20 )) click 1; sleep 0.8
capture 64-plus-tard
xdotool key Down Return; sleep 1
verifie "'Plus tard' hides the popup" absente '^Oxi - Rappel$'
verifie "the reminder put off is not done in the file" base_vaut 0 'SELECT EtatEch1 FROM Rappel;'
verifie "the program runs on" en_vie "$pid"
arrete "$pid"
