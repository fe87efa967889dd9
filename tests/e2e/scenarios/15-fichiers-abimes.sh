# Damaged and special files as the database: the connection message, the start ends, the file stays as it was;
# a lone leftover DBC.dtb takes over.

for abime in fifo octet coupe sans-rappel; do
  home=$(prepare "abime-$abime" "PremiereFois/Affich=1")
  base="$home/prog/DBOxi.dtb"
  case $abime in
    fifo) rm "$base"; mkfifo "$base" ;;
    octet) printf S > "$base" ;;
    coupe) truncate -s -3072 "$base" ;;
    sans-rappel) sql "$base" "DROP TABLE Rappel;" >/dev/null ;;
  esac
  avant=$( [ -p "$base" ] && echo fifo || empreinte "$base")
  pid=$(lance "$home")
  verifie "$abime: the connection message is shown" visible '^Oxi$' 10
  [ "$abime" = fifo ] && capture 14-base-fifo
  valide_boite
  verifie "$abime: the refused start ends" termine "$pid" 5
  verifie "$abime: the file is left as it was" test "$avant" = "$( [ -p "$base" ] && echo fifo || empreinte "$base")"
  arrete "$pid"
done

home=$(prepare reste-seul "PremiereFois/Affich=1")
sql "$home/prog/DBOxi.dtb" "INSERT INTO Notes VALUES (7, 'Gardée', NULL);" >/dev/null
mv "$home/prog/DBOxi.dtb" "$home/prog/DBC.dtb"
pid=$(lance "$home"); sleep 3
verifie "a lone DBC.dtb: oxi starts" en_vie "$pid"
verifie "a lone DBC.dtb becomes the database" base_vaut Gardée "SELECT Libelle1 FROM Notes WHERE NumNote = 7;"
verifie "a lone DBC.dtb is not left beside it" test ! -e "$home/prog/DBC.dtb"
arrete "$pid"
