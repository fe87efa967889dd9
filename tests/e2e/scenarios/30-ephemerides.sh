# The three daily popups open at start-up, one under the other at the right-hand side.

# geometrie <regex>: prints "x y w h" of the visible window whose name matches.
geometrie() { local w; w=$(attend_fenetre "$1" 10) && eval "$(xdotool getwindowgeometry --shell "$w")" && echo "$X $Y $WIDTH $HEIGHT"; }

home=$(prepare ephemerides PremiereFois/Affich=1 Init/Annee=2026 Ephemerides/{Affich,Fetes,Dictons,Mois}=1)
pid=$(lance_le '2026-11-06 10:00:00' "$home")
fetes=$(geometrie '^Oxi - F.+tes$'); dictons=$(geometrie '^Oxi - Dictons$'); mois=$(geometrie '^Oxi - Mois$')
verifie "the three daily popups open" test -n "$fetes" -a -n "$dictons" -a -n "$mois"
capture 30-ephemerides
# empile <upper> <lower>: same left edge at the right of the screen, lower starts below upper.
empile() { set -- $1 $2; [ $# -eq 8 ] && [ "$1" -eq "$5" ] && [ "$1" -gt 900 ] && [ "$6" -ge $(( $2 + $4 )) ]; }
verifie "the saying sits under the names of the day" empile "$fetes" "$dictons"
verifie "the month facts sit under the saying" empile "$dictons" "$mois"
arrete "$pid"

home=$(prepare ephemerides-mois PremiereFois/Affich=1 Init/Annee=2026 Ephemerides/{Affich,Mois}=1 Ephemerides/Fetes=0 'Ephemerides/Dictons="1 "')
pid=$(lance_le '2026-02-28 10:00:00' "$home")
mois=$(geometrie '^Oxi - Mois$')
verifie "a setting holding '1 ' opens nothing" absente '^Oxi - Dictons$'
verifie "the month popup alone sits at the top" test "$(echo "$mois" | cut -d' ' -f2)" -le 70
capture 31-ephemerides-mois-seul
arrete "$pid"
