# A birthday due tomorrow appears past midnight, into a new year (one due at start: 60-sortie's runs).

home=$(prepare minuit "PremiereFois/Affich=1" "Init/Annee=2026")
rappel "$home/prog/DBOxi.dtb" A 'Martin#Paul' 1980-01-01 2026-01-01 1
pid=$(lance_le '2026-12-31 23:59:50' "$home"); sleep 2
verifie "nothing is due before midnight" absente '^Oxi - Rappel$'
verifie "the popup opens after midnight" visible '^Oxi - Rappel$' 20
capture 21-rappel-apres-minuit
arrete "$pid"
verifie "the new year re-armed nothing due this year, acknowledged the birthday" base_vaut '2027-01-01|1' 'SELECT Ech1, EtatEch1 FROM Rappel;'
verifie "the new year is stored" grep -q '^Annee=2027' "$home/config/oxi/oxi.conf"
