#!/usr/bin/env bash
# The Windows installer as a crew runs it, silently (/S), in the build's Wine prefix: what it
# puts where (the same files as the portable zip), its shortcuts and its entry in the list of
# programs; the installed program starts and reads the etalonnage.txt beside it; an upgrade
# keeps the crew's edited etalonnage.txt; the uninstaller leaves nothing of the program (the
# run journals, the crew's records, stay).
# Usage: installateur.sh WINE_LANCE CPACK BUILD_DIR ATTENDU.txt ARTEFACTS_DIR
set -euo pipefail
lance=$1
cpack=$2
construction=$3
attendu=$4
artefacts=$5
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
# The crew's own PATH entry, which the installer keeps.
chemin_env() { "$lance" reg query 'HKCU\Environment' /v Path 2>/dev/null | tr -d '\r' | awk '$1 == "Path" { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }
"$lance" reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d 'C:\outils' /f >/dev/null

echo "== Installation silencieuse de $(basename "$installateur") =="
"$lance" "$installateur" /S
wineserver -w
dossier_windows=$(WINEPREFIX=$WINEPREFIX winepath -w "$dossier" | tr -d '\r')
[ "$(chemin_env)" = "C:\outils;$dossier_windows" ] || echec "PATH de l'utilisateur après l'installation : $(chemin_env)"
# A new session reads the user's PATH: the companions answer from any folder.
wineserver -k 2>/dev/null || true
for programme in velmora-tableau velmora-journal; do
    "$lance" cmd /c "cd /d C:\ && $programme --aide" 2>&1 | tr -d '\r' | grep -q "$programme" ||
        echec "$programme ne répond pas depuis C:\\ : $("$lance" cmd /c "cd /d C:\\ && $programme --aide" 2>&1 | head -3)"
done
echo "PATH : $(chemin_env) ; velmora-tableau et velmora-journal répondent depuis C:\\"
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

echo "== Mise à jour : l'étalonnage de l'équipage reste =="
printf '600\r\n1000\r\n601\r\n1000\r\n599\r\n1000\r\n' >"$artefacts/etalonnage_equipage.txt"
cp "$artefacts/etalonnage_equipage.txt" "$dossier/etalonnage.txt"
"$lance" "$suivant"/velmora-*-win64.exe /S
wineserver -w
cmp -s "$dossier/etalonnage.txt" "$artefacts/etalonnage_equipage.txt" ||
    echec "la mise à jour a remplacé l'etalonnage.txt de l'équipage"
[ "$(valeur DisplayVersion)" = 99.0 ] || echec "version après mise à jour : $(valeur DisplayVersion)"
"$ici/fenetre_exe.sh" "$lance" "$dossier/velmora.exe" "$artefacts/mis_a_jour.png"
journal=$(ls -t "$journaux"/*.journal | head -1)
grep -qE '^fichier etalonnage [0-9]+ ".*/VELMORA/etalonnage.txt" lu "600" "1000" "601" "1000" "599" "1000"$' "$journal" ||
    echec "après la mise à jour, le programme n'a pas lu l'étalonnage de l'équipage"

echo "== Désinstallation silencieuse =="
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
[ "$(chemin_env)" = 'C:\outils' ] || echec "PATH de l'utilisateur après la désinstallation : $(chemin_env)"
"$lance" reg delete 'HKCU\Environment' /v Path /f >/dev/null
# The run journals are the crew's own records, kept like its documents.
[ -n "$(ls "$journaux"/*.journal 2>/dev/null)" ] || echec "la désinstallation a pris les journaux de bord"
rm -rf "$suivant"
echo "Installation, mise à jour et désinstallation : conformes"
