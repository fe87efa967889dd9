# Start-up: French settings only, the icon in the tray, one instance only.

home=$(prepare anglais "PremiereFois/Affich=1")
pid=$(lance "$home" LANG=en_US.UTF-8)
verifie "English regional settings are refused with a message" visible '^Oxi$' 10
capture 10-parametres-anglais
valide_boite
verifie "the refused start ends" termine "$pid" 5

home=$(prepare demarrage "PremiereFois/Affich=1")
pid=$(lance "$home")
sleep 3
verifie "oxi starts and stays up" en_vie "$pid"
attend_icone 5
verifie "the tray icon is embedded" icone_dans_zone
capture 11-demarrage-icone

avant=$(empreinte "$home/prog/DBOxi.dtb")
cp "$home/prog/DBOxi.dtb" "$home/prog/DBC.dtb"   # a compaction's leftover, which only a start that runs may clear
second=$(lance "$home")
verifie "a second start shows its message" visible '^Oxi$' 10
capture 12-deuxieme-instance
valide_boite
verifie "the second start ends" termine "$second" 5
verifie "the second start leaves the database untouched" test "$avant" = "$(empreinte "$home/prog/DBOxi.dtb")"
verifie "the second start leaves the leftover DBC.dtb alone" test -f "$home/prog/DBC.dtb"
verifie "the first instance is still running" en_vie "$pid"
arrete "$pid"

home=$(prepare premiere)
pid=$(lance "$home")
sleep 3
verifie "the first start registers the autostart entry" grep -qx "Exec=$home/prog/oxi" "$home/config/autostart/oxi.desktop"
capture 13-premiere-utilisation
arrete "$pid"
