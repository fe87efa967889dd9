# The tray icon in use: double-click shows the main window, the right-click menu's "A propos" opens the about box.
home=$(prepare menu "PremiereFois/Affich=1" "Init/Annee=2026")
pid=$(lance_le '2026-12-06 10:00:00' "$home")
verifie "a double-click on the icon shows the main window" test -n "$(ouvre_fenetre)"
capture 50-fenetre-principale
menu_icone s 51-menu
verifie "the menu's 'A propos' opens the about box" visible "propos d'Oxi Free\$" 10
capture 52-a-propos
arrete "$pid"
