# The tray icon in use: double-click shows the main window, right-click opens
# the menu, "A propos" opens the about box.

home=$(prepare menu "PremiereFois/Affich=1" "Init/Annee=2026")
pid=$(lance_le '2026-12-06 10:00:00' "$home")
attend_icone
read -r ix iy <<<"$(position_icone)"
xdotool mousemove "$ix" "$iy" click --repeat 2 --delay 80 1
verifie "a double-click on the icon shows the main window" visible '^Oxi$' 10
capture 50-fenetre-principale
xdotool mousemove "$ix" "$iy" click 3
sleep 1
capture 51-menu
# The pop-up menu: the small visible window of ours that is not the main one.
for w in $(xdotool search --onlyvisible --class oxi 2>/dev/null); do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  if [ "$WIDTH" -lt 300 ] && [ "$HEIGHT" -gt 80 ]; then
    xdotool mousemove $(( X + WIDTH / 3 )) $(( Y + HEIGHT * 70 / 100 )) click 1   # "A propos"
    break
  fi
done
verifie "the menu's 'A propos' opens the about box" visible "propos d'Oxi Free\$" 10
capture 52-a-propos
arrete "$pid"
