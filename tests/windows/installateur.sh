#!/usr/bin/env bash
# The Windows installer as a crew runs it, silently (/S), in the build's Wine prefix: what it
# puts where (the same files as the portable zip), its shortcuts and its entry in the list of
# programs; the installed program starts and reads the etalonnage.txt beside it; an upgrade
# keeps the crew's edited etalonnage.txt; the uninstaller leaves nothing of the program (the
# run journals, the crew's records, stay). The user's PATH, short, of 1,279 and of 30,000
# characters, keeps every other entry and its type; one with no room for the folder stays whole
# and the installer says so (status 2). Nothing is touched while a VELMORA program
# runs, a companion too, or while the running mark cannot be opened.
# Usage: installateur.sh WINE_LANCE CPACK BUILD_DIR ATTENDU.txt ARTEFACTS_DIR MARQUE_ESSAI_EXE
set -euo pipefail
lance=$1
cpack=$2
construction=$3
attendu=$4
artefacts=$5
marque_essai=$6
ici=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${WINEPREFIX:-$construction/wine}
mkdir -p "$artefacts"
echec() {
    echo "ÉCHEC : $*"
    exit 1
}

installateur=$(ls "$construction"/velmora-*-win64.exe 2>/dev/null | head -1)
zip=$(ls "$construction"/velmora-*-win64.zip 2>/dev/null | head -1)
[ -n "$installateur" ] && [ -n "$zip" ] ||
    echec "ni installateur ni zip dans $construction : lancez d'abord scripts/windows"
version=$(basename "$installateur" | sed 's/^velmora-\(.*\)-win64\.exe$/\1/')

# The portable zip: one folder, the expected files.
nom_zip=$(basename "$zip" .zip)
unzip -Z1 "$zip" | grep -v '/$' | sed "s|^$nom_zip/||" | sort >"$artefacts/zip.txt"
diff -u <(grep -v "^#" "$attendu" | sort) "$artefacts/zip.txt" || echec "le zip ne contient pas les fichiers attendus"

utilisateur=$("$lance" cmd /c echo %USERNAME% | tr -d '\r')
maison="$WINEPREFIX/drive_c/users/$utilisateur"
dossier="$maison/AppData/Local/Programs/VELMORA"
menu="$maison/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/VELMORA"
bureau="$maison/Desktop/VELMORA.lnk"
cle='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELMORA'
valeur() { "$lance" reg query "$cle" /v "$1" 2>/dev/null | tr -d '\r' | awk -v v="$1" '$1 == v { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
rm -rf "$dossier"

# The user's PATH, longer than the installer's 1,024-character strings: written and read back
# whole through .reg files (no command line holds 32,767 characters; reg query shows them in
# the console's code page), compared entry by entry.
chemins="$artefacts/chemin"
rm -rf "$chemins"
mkdir -p "$chemins"
en_z() { printf 'Z:%s' "${1//\//\\}"; }
# A crew's PATH of exactly $1 characters: programs' folders, variables to expand, empty entries,
# letters outside ASCII and outside the console's code page.
chemin_de() (
    export LC_ALL=C.UTF-8
    r="" i=0
    while [ ${#r} -lt "$1" ]; do
        case $((i % 5)) in
        0) e="C:\\Program Files\\Outil $i" ;;
        1) e="%USERPROFILE%\\bin" ;;
        2) e="" ;;
        3) e="C:\\Données\\Été €\\Łódź $i" ;;
        4) e="D:\\logiciels\\rallye\\version $i" ;;
        esac
        r="${r:+$r;}$e"
        i=$((i + 1))
    done
    printf '%s' "${r:0:$1}"
)
# The user's PATH set to the text of file $2, of type $1 (REG_SZ or REG_EXPAND_SZ).
ecrit_path() {
    local reg="$chemins/ecrit.reg" valeur
    if [ "$1" = REG_SZ ]; then
        valeur="\"$(sed 's/\\/\\\\/g; s/"/\\"/g' "$2")\""
    else
        valeur="hex(2):$( (cat "$2" && printf '\0') | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 |
            tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
    fi
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Environment]\r\n"Path"=%s\r\n' \
        "$valeur" | iconv -f UTF-8 -t UTF-16 >"$reg"
    "$lance" reg import "$(en_z "$reg")" >/dev/null 2>&1 || echec "reg import de $reg"
}
# The user's PATH read whole: its type on standard output (or "absent"), its text in file $1.
lit_path() {
    local reg="$chemins/lu.reg" ligne
    rm -f "$reg"
    "$lance" reg export 'HKCU\Environment' "$(en_z "$reg")" /y >/dev/null 2>&1 || echec "reg export"
    ligne=$(iconv -f UTF-16 -t UTF-8 "$reg" | tr -d '\r' |
        awk '/^"Path"=/ { l = 1 } l { print; if (!/\\$/) exit }' | tr -d '\n')
    case $ligne in
    '"Path"="'*)
        printf '%s' "$ligne" | sed 's/^"Path"="//; s/"$//; s/\\\\/\x01/g; s/\\"/"/g; s/\x01/\\/g' >"$1"
        echo REG_SZ
        ;;
    '"Path"=hex(2):'*)
        printf '%b' "$(printf '%s' "${ligne#*:}" | tr -d '\\, ' | sed 's/../\\x&/g')" |
            iconv -f UTF-16LE -t UTF-8 | tr -d '\0' >"$1"
        echo REG_EXPAND_SZ
        ;;
    '') : >"$1" && echo absent ;;
    *) printf '%s' "$ligne" >"$1" && echo "autre : ${ligne:0:40}" ;;
    esac
}
# The user's PATH is of type $1 and holds, entry by entry, the text of file $2; $3 says when.
verifie_path() {
    local type
    type=$(lit_path "$chemins/lu.txt")
    if ! diff <(tr ';' '\n' <"$2") <(tr ';' '\n' <"$chemins/lu.txt") >"$chemins/ecarts.txt"; then
        head -20 "$chemins/ecarts.txt"
        echec "PATH de l'utilisateur $3 : pas les entrées attendues (écarts ci-dessus ; $type)"
    fi
    [ "$type" = "$1" ] || echec "PATH de l'utilisateur $3 : $type, $1 attendu"
    echo "PATH $3 : $type, $(($(tr -cd ';' <"$2" | wc -c) + 1)) entrées, $(LC_ALL=C.UTF-8 wc -m <"$2") caractères, comme attendu"
}
# The crew's own PATH before the first installation. It is short: Wine builds a new session's
# PATH from about the first 1,020 characters of the user's (Windows from all 32,767), and the
# session below must find the folder at its end.
printf '%s' 'C:\outils' >"$chemins/court.txt"
ecrit_path REG_EXPAND_SZ "$chemins/court.txt"

echo "== Installation silencieuse de $(basename "$installateur") =="
"$lance" "$installateur" /S
wineserver -w
dossier_windows=$(WINEPREFIX=$WINEPREFIX winepath -w "$dossier" | tr -d '\r')
{ cat "$chemins/court.txt" && printf ';%s' "$dossier_windows"; } >"$chemins/court_installe.txt"
verifie_path REG_EXPAND_SZ "$chemins/court_installe.txt" "après l'installation"
# A new session reads the user's PATH: the companions answer from any folder.
wineserver -k 2>/dev/null || true
for programme in velmora-tableau velmora-journal; do
    "$lance" cmd /c "cd /d C:\ && $programme --aide" 2>&1 | tr -d '\r' | grep -q "$programme" ||
        echec "$programme ne répond pas depuis C:\\ : $("$lance" cmd /c "cd /d C:\\ && $programme --aide" 2>&1 | head -3)"
done
echo "velmora-tableau et velmora-journal répondent depuis C:\\"
(cd "$dossier" && find . -type f | sed 's|^\./||' | grep -v '^desinstaller\.exe$' | sort) >"$artefacts/installe.txt"
diff -u <(grep -v "^#" "$attendu" | sort) "$artefacts/installe.txt" || echec "l'installation ne contient pas les fichiers attendus"
[ -f "$dossier/desinstaller.exe" ] || echec "pas de désinstalleur"
for raccourci in "$menu/VELMORA.lnk" "$menu/Guide de l'équipage.lnk" "$menu/Désinstaller le VELMORA.lnk" "$bureau"; do
    [ -f "$raccourci" ] || echec "raccourci absent : $raccourci"
done
[ "$(valeur DisplayName)" = VELMORA ] || echec "pas d'entrée VELMORA dans la liste des programmes"
[ "$(valeur DisplayVersion)" = "$version" ] || echec "version inscrite : $(valeur DisplayVersion)"
cmp -s "$dossier/etalonnage.txt" "$construction/packaging/windows/etalonnage.txt" ||
    echec "etalonnage.txt installé n'est pas celui de l'exemple"

echo "== Le programme installé démarre et lit son etalonnage.txt =="
journaux="$maison/AppData/Local/velmora/journaux"
rm -rf "$journaux"
"$ici/fenetre_exe.sh" "$lance" "$dossier/velmora.exe" "$artefacts/installe.png"
# Its run journal says which calibration file it read, and what that file held.
journal=$(ls -t "$journaux"/*.journal 2>/dev/null | head -1)
[ -n "$journal" ] || echec "aucun journal de bord dans $journaux"
cp "$journal" "$artefacts/installe.journal"
grep -E '^fichier etalonnage [0-9]+ "C:/users/'"$utilisateur"'/AppData/Local/Programs/VELMORA/etalonnage.txt" lu "540" "1000" "541" "1000" "539" "1000"$' "$journal" >/dev/null ||
    echec "le journal ne montre pas etalonnage.txt lu à côté du programme : $(grep -m1 '^fichier' "$journal")"
echo "lu : $(grep -m1 '^fichier etalonnage' "$journal")"
cp "$dossier/etalonnage.txt" "$artefacts/etalonnage_exemple.txt"
printf 'mille\r\n1000\r\n' >"$dossier/etalonnage.txt"
"$ici/fenetre_exe.sh" "$lance" "$dossier/velmora.exe" "$artefacts/etalonnage_illisible.png" boite

echo "== Le programme ouvert : ni mise à jour ni désinstallation =="
suivant="$artefacts/suivant"
rm -rf "$suivant"
"$cpack" -G NSIS -R 99.0 -B "$suivant" --config "$construction/CPackConfig.cmake" >/dev/null
DISPLAY=$("$lance" --ecran)
export DISPLAY
fenetres() { xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "\([^"]*\)".*/\1 \2/p'; }
(cd "$dossier" && exec "$lance" "$dossier/velmora.exe") &
ouvert=$!
for _ in $(seq 180); do
    fenetres | grep -q " LOGICIEL DE SIMULATION DU VELMORA$" && break
    sleep 0.5
done
fenetres | grep -q " LOGICIEL DE SIMULATION DU VELMORA$" || echec "velmora.exe installé ne s'ouvre pas"
empreinte() { (cd "$dossier" && find . -type f -printf '%p %s %T@\n' | sort); }
avant=$(empreinte)
set +e
"$lance" "$suivant"/velmora-*-win64.exe /S
statut_installation=$?
"$lance" "$dossier/desinstaller.exe" /S "_?=$(WINEPREFIX=$WINEPREFIX winepath -w "$dossier")"
statut_desinstallation=$?
set -e
[ "$statut_installation" = 3 ] || echec "mise à jour silencieuse, le programme ouvert : statut $statut_installation (3 attendu)"
[ "$statut_desinstallation" = 3 ] || echec "désinstallation silencieuse, le programme ouvert : statut $statut_desinstallation (3 attendu)"
[ "$(empreinte)" = "$avant" ] || echec "le dossier du programme ouvert a changé"
[ "$(valeur DisplayVersion)" = "$version" ] || echec "version inscrite, le programme ouvert : $(valeur DisplayVersion)"
echo "silencieux, le programme ouvert : installation et désinstallation refusées (statut 3), rien de changé"
# Interactively, the crew is asked to close it: a box comes, and nothing changes behind it.
"$lance" "$suivant"/velmora-*-win64.exe &
interactif=$!
boite=""
for _ in $(seq 60); do
    boite=$(fenetres | awk '/ Installation de VELMORA$/ { print $1; exit }')
    [ -n "$boite" ] && break
    sleep 0.5
done
[ -n "$boite" ] || { fenetres; echec "aucune boîte ne demande de fermer le VELMORA"; }
import -window "$boite" "$artefacts/programme_ouvert.png"
"$lance" taskkill /f /im "$(basename "$suivant"/velmora-*-win64.exe)" >/dev/null 2>&1 || true
wait $interactif || true
[ "$(empreinte)" = "$avant" ] || echec "le dossier du programme ouvert a changé derrière la boîte"
echo "interactif, le programme ouvert : boîte montrée ($artefacts/programme_ouvert.png)"
"$lance" taskkill /f /im velmora.exe >/dev/null 2>&1 || true
for _ in $(seq 60); do kill -0 $ouvert 2>/dev/null || break; sleep 0.5; done
kill $ouvert 2>/dev/null || true
wait $ouvert || true
wineserver -w

echo "== Un compagnon ouvert, ou la marque fermée à l'installateur : rien ne change =="
# Both the upgrade and the uninstallation, silent, end with status 3 and leave the folder as it
# was; $1 says what holds the mark.
refuse_pendant() {
    local statut_installation=0 statut_desinstallation=0
    "$lance" "$suivant"/velmora-*-win64.exe /S || statut_installation=$?
    "$lance" "$dossier/desinstaller.exe" /S "_?=$(WINEPREFIX=$WINEPREFIX winepath -w "$dossier")" ||
        statut_desinstallation=$?
    [ "$statut_installation" = 3 ] || echec "mise à jour silencieuse, $1 : statut $statut_installation (3 attendu)"
    [ "$statut_desinstallation" = 3 ] || echec "désinstallation silencieuse, $1 : statut $statut_desinstallation (3 attendu)"
    [ "$(empreinte)" = "$avant" ] || echec "le dossier a changé, $1"
    echo "$1 : installation et désinstallation refusées (statut 3), rien de changé"
}
# Each companion runs while its output waits on a full pipe (it writes its help there).
tube="$chemins/tube"
for compagnon in velmora-tableau velmora-journal; do
    rm -f "$tube"
    mkfifo "$tube"
    exec 8<>"$tube"
    dd if=/dev/zero of=/dev/fd/8 bs=4096 oflag=nonblock status=none 2>/dev/null || true
    # Not given the reading end: the script's end closes it, and the companion's waiting too.
    "$lance" "$dossier/$compagnon.exe" --aide >"$tube" 8<&- &
    ouvert=$!
    "$lance" "$marque_essai" attend || echec "$compagnon.exe ouvert ne tient pas la marque"
    refuse_pendant "$compagnon ouvert"
    "$lance" taskkill /f /im "$compagnon.exe" >/dev/null 2>&1 || true
    wait $ouvert || true
    exec 8<&-
done
# A mark the installer may not open, as a VELMORA run as administrator holds it.
exec 9> >(exec "$lance" "$marque_essai" refusee >"$chemins/marque.txt")
marque=$!
for _ in $(seq 60); do
    grep -q . "$chemins/marque.txt" 2>/dev/null && break
    sleep 0.5
done
grep -q '^prête' "$chemins/marque.txt" || echec "marque non posée : $(cat "$chemins/marque.txt")"
refuse_pendant "la marque fermée à l'installateur ($(cat "$chemins/marque.txt"))"
exec 9>&-
wait $marque || echec "marque_essai.exe refusee : statut $?"
wineserver -w

echo "== Un PATH sans place pour le dossier : il reste tel quel, et l'installation le dit =="
# The folder would take it one character past Windows' 32,767.
longueur() (
    export LC_ALL=C.UTF-8
    printf '%s' "${#1}"
)
chemin_de $((32767 - $(longueur "$dossier_windows"))) >"$chemins/plein.txt"
ecrit_path REG_EXPAND_SZ "$chemins/plein.txt"
statut=0
"$lance" "$suivant"/velmora-*-win64.exe /S || statut=$?
wineserver -w
[ "$statut" = 2 ] || echec "installation sur un PATH plein : statut $statut (2 attendu)"
verifie_path REG_EXPAND_SZ "$chemins/plein.txt" "plein, après l'installation (statut 2)"

echo "== Mise à jour : l'étalonnage de l'équipage reste =="
printf '600\r\n1000\r\n601\r\n1000\r\n599\r\n1000\r\n' >"$artefacts/etalonnage_equipage.txt"
cp "$artefacts/etalonnage_equipage.txt" "$dossier/etalonnage.txt"
# A PATH of 1,279 characters, of type REG_SZ, without the folder (the crew took it out), which
# the installer's 1,024-character strings once lost whole: the folder comes back at its end.
chemin_de 1279 >"$chemins/1279.txt"
ecrit_path REG_SZ "$chemins/1279.txt"
"$lance" "$suivant"/velmora-*-win64.exe /S
wineserver -w
{ cat "$chemins/1279.txt" && printf ';%s' "$dossier_windows"; } >"$chemins/1279_installe.txt"
verifie_path REG_SZ "$chemins/1279_installe.txt" "après la mise à jour"
cmp -s "$dossier/etalonnage.txt" "$artefacts/etalonnage_equipage.txt" ||
    echec "la mise à jour a remplacé l'etalonnage.txt de l'équipage"
[ "$(valeur DisplayVersion)" = 99.0 ] || echec "version après mise à jour : $(valeur DisplayVersion)"
"$ici/fenetre_exe.sh" "$lance" "$dossier/velmora.exe" "$artefacts/mis_a_jour.png"
journal=$(ls -t "$journaux"/*.journal | head -1)
grep -qE '^fichier etalonnage [0-9]+ ".*/VELMORA/etalonnage.txt" lu "600" "1000" "601" "1000" "599" "1000"$' "$journal" ||
    echec "après la mise à jour, le programme n'a pas lu l'étalonnage de l'équipage"

echo "== Désinstallation silencieuse =="
# A PATH of 30,000 characters with the folder in its middle: it goes, and it alone.
chemin_de 30000 >"$chemins/30000.txt"
coupe_en_deux() ( # FILE TEXT: the file's text with TEXT after its 15,000th character
    export LC_ALL=C.UTF-8
    t=$(cat "$1")
    printf '%s' "${t:0:15000}$2${t:15000}"
)
coupe_en_deux "$chemins/30000.txt" ";$dossier_windows;" >"$chemins/30000_installe.txt"
coupe_en_deux "$chemins/30000.txt" ";" >"$chemins/30000_desinstalle.txt"
ecrit_path REG_EXPAND_SZ "$chemins/30000_installe.txt"
"$lance" "$dossier/desinstaller.exe" /S
wineserver -w
for _ in $(seq 60); do
    [ -e "$dossier" ] || break
    sleep 0.5
done
[ ! -e "$dossier" ] || { find "$dossier"; echec "le dossier du programme reste"; }
[ ! -e "$menu" ] || echec "le dossier du menu Démarrer reste"
[ ! -e "$bureau" ] || echec "le raccourci du bureau reste"
"$lance" reg query "$cle" >/dev/null 2>&1 && echec "l'entrée de la liste des programmes reste"
verifie_path REG_EXPAND_SZ "$chemins/30000_desinstalle.txt" "après la désinstallation"
"$lance" reg delete 'HKCU\Environment' /v Path /f >/dev/null
# The run journals are the crew's own records, kept like its documents.
[ -n "$(ls "$journaux"/*.journal 2>/dev/null)" ] || echec "la désinstallation a pris les journaux de bord"
rm -rf "$suivant"
echo "Installation, mise à jour et désinstallation : conformes"
