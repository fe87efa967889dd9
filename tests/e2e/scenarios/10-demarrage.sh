# Start-up: French regional settings only, the icon in the tray and its menu, one instance only, the exchange
# module only when set up, the autostart entry.
home=$(prepare anglais "PremiereFois/Affich=1")
pid=$(lance "$home" LANG=en_US.UTF-8)
verifie "English regional settings are refused with a message" visible '^Oxi$' 10
capture 10-parametres-anglais
valide_boite
verifie "the refused start ends" termine "$pid" 5

home=$(prepare demarrage "PremiereFois/Affich=1")
pid=$(lance "$home")
verifie "the tray icon is embedded" attend_icone
capture 11-demarrage-icone
verifie "without an exchange set up, neither the exchange module nor libical nor Qt Network is mapped" sans_echanges "$pid"

avant=$(empreinte "$home/prog/DBOxi.dtb")
cp "$home/prog/DBOxi.dtb" "$home/prog/DBC.dtb"   # a compaction's leftover, which only a start that runs may clear
second=$(lance "$home")
verifie "a second start shows its message" visible '^Oxi$' 10
capture 12-deuxieme-instance
valide_boite
verifie "the second start ends" termine "$second" 5
verifie "the second start leaves the database and DBC.dtb alone" test "$avant" = "$(empreinte "$home/prog/DBOxi.dtb")" -a -f "$home/prog/DBC.dtb"
verifie "the first instance is still running" en_vie "$pid"
menu_icone s 51-menu
verifie "the icon menu's 'A propos' opens the about box" visible "propos d'Oxi Free\$" 10
capture 52-a-propos
arrete "$pid"

# An exchange set up: the module comes at start; the server does not answer, which is noted, nothing shown.
home=$(prepare demarrage-synchro "PremiereFois/Affich=1" "Synchronisation/Adresse=http://127.0.0.1:9/")
printf 'secret\n' > "$home/config/oxi/caldav-secret"; chmod 600 "$home/config/oxi/caldav-secret"
pid=$(lance "$home")
attend 10 grep -q '^Bilan=' "$home/config/oxi/oxi.conf"
verifie "... and notes its failed exchange, still running" sh -c "kill -0 $pid && grep -q '^Bilan=.*chec' '$home/config/oxi/oxi.conf'"
verifie "with an exchange set up, the tray program loads its exchange module" echanges_chargees "$pid"
arrete "$pid"
# The same without the module beside the program: a message says so, nothing else changes.
rm "$home/prog/oxi-echanges.so"
pid=$(lance "$home")
verifie "with an exchange set up and no module, a message says so" visible '^Oxi$' 10
capture 16-synchro-sans-module
valide_boite
attend_icone 5
verifie "... and the tray program goes on, its icon in the tray" sh -c "kill -0 $pid && [ -n \"\$1\" ]" _ "$(ligne_icone)"
arrete "$pid"

home=$(prepare premiere)
pid=$(lance "$home"); sleep 3
verifie "the first start registers the autostart entry" grep -qx "Exec=$home/prog/oxi" "$home/config/autostart/oxi.desktop"
capture 13-premiere-utilisation
arrete "$pid"
