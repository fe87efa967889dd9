# A birthday due today shows the reminder popup and is acknowledged in the file;
# one due tomorrow appears when the clock passes midnight.

home=$(prepare rappel "PremiereFois/Affich=1" "Init/Annee=2026")
rappel "$home/prog/DBOxi.dtb" A 'Dupont#Marie' 1975-03-12 2026-03-12
pid=$(lance_le '2026-03-12 09:00:00' "$home")
verifie "a birthday due today opens the reminder popup" visible '^Oxi - Rappel$' 15
capture 20-rappel-du-jour
arrete "$pid"
verifie "showing the reminder set its done flag in the file" \
  test "$(sql "$home/prog/DBOxi.dtb" 'SELECT EtatEch1 FROM Rappel WHERE NumRappel=1;')" = "1"

home=$(prepare minuit "PremiereFois/Affich=1" "Init/Annee=2026")
rappel "$home/prog/DBOxi.dtb" A 'Martin#Paul' 1980-01-01 2026-01-01 1
pid=$(lance_le '2026-12-31 23:59:50' "$home")
sleep 2
verifie "nothing is due before midnight" absente '^Oxi - Rappel$'
verifie "the popup opens after midnight" visible '^Oxi - Rappel$' 20
capture 21-rappel-apres-minuit
arrete "$pid"
verifie "the new year re-armed nothing due this year and acknowledged the birthday" \
  test "$(sql "$home/prog/DBOxi.dtb" 'SELECT Ech1, EtatEch1 FROM Rappel;')" = "2027-01-01|1"
verifie "the new year is stored" grep -q '^Annee=2027' "$home/config/oxi/oxi.conf"
