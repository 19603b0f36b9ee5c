#!/usr/bin/env bash
# Checks a velmora .deb where a fault would not show until a crew installs it: the command
# that the menu runs, the calibration that upgrades must keep, the udev rule's place, the
# dependencies, and lintian. Usage: verifie_paquet.sh PAQUET.deb
set -euo pipefail

paquet=$(realpath "$1")
dossier=$(mktemp -d)
trap 'rm -rf "$dossier"' EXIT
racine=$dossier/racine
dpkg-deb -x "$paquet" "$racine"
dpkg-deb -e "$paquet" "$dossier/controle"

echecs=0
echec() {
    echo "ÉCHEC : $*"
    echecs=$((echecs + 1))
}

# A path of the installed system, followed through its links inside the package (an absolute
# link points into the package too, as it will once installed).
resout() {
    local chemin=$1 cible _
    for _ in $(seq 20); do
        [ -L "$racine$chemin" ] || break
        cible=$(readlink "$racine$chemin")
        case $cible in
        /*) chemin=$cible ;;
        *) chemin=$(realpath -m -s "$(dirname "$chemin")/$cible") ;;
        esac
    done
    echo "$chemin"
}

est_programme() {
    [ -f "$racine$1" ] && [ -x "$racine$1" ] &&
        [ "$(head -c 4 "$racine$1" | od -An -c | tr -d ' ')" = '177ELF' ]
}

# The menu entry's command is on the PATH and leads to the program, beside its calibration.
entree=/usr/share/applications/velmora.desktop
commande=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$racine$entree")
programme=$(resout "/usr/bin/$commande")
if [ -z "$commande" ] || ! est_programme "$programme"; then
    echec "Exec=$commande de $entree ne mène pas à un programme (/usr/bin/$commande -> $programme)"
elif [ "$programme" != /usr/lib/velmora/velmora ]; then
    echec "/usr/bin/$commande mène à $programme au lieu de /usr/lib/velmora/velmora"
fi
etalonnage=$(resout /usr/lib/velmora/etalonnage.txt)
if [ ! -f "$racine$etalonnage" ] || [ "$(head -n 1 "$racine$etalonnage")" != 540 ]; then
    echec "pas d'étalonnage exemple à côté du programme (/usr/lib/velmora/etalonnage.txt -> $etalonnage)"
fi

# The calibration the crew edits is a configuration file, so that upgrades keep it.
if ! grep -qx "$etalonnage" "$dossier/controle/conffiles" 2>/dev/null; then
    echec "$etalonnage n'est pas un fichier de configuration (conffiles : $(cat "$dossier/controle/conffiles" 2>/dev/null))"
fi

# Every program of the package can be run by its name.
while IFS= read -r -d '' f; do
    chemin=/${f#"$racine"/}
    est_programme "$chemin" || continue
    atteint=non
    for lien in "$racine"/usr/bin/*; do
        [ "$(resout "/usr/bin/${lien##*/}")" = "$chemin" ] && atteint=oui
    done
    [ $atteint = oui ] || echec "$chemin n'est atteint par aucune commande de /usr/bin"
done < <(find "$racine" -type f -print0)

# The companions the sources make are commands too, each with its manual page: the time table,
# the run journal's reader, and the virtual box for crews without the box.
sources=$(dirname "$(realpath "$0")")/../..
for compagnon in tableau:velmora-tableau lecteur_journal:velmora-journal \
    tools/boitier_virtuel:velmora-boitier-virtuel; do
    [ -d "$sources/${compagnon%%:*}" ] || continue
    commande=${compagnon#*:}
    est_programme "$(resout "/usr/bin/$commande")" || echec "pas de commande /usr/bin/$commande"
    [ -s "$racine/usr/share/man/fr/man1/$commande.1.gz" ] || echec "page de manuel $commande(1) absente"
done

# The box's rule where packages put theirs; /etc/udev is the administrator's.
[ -f "$racine/usr/lib/udev/rules.d/70-velmora.rules" ] ||
    echec "pas de règle udev dans /usr/lib/udev/rules.d"
[ ! -e "$racine/etc/udev" ] || echec "le paquet installe dans /etc/udev : $(ls -R "$racine/etc/udev")"

# The icon the entry names, in both forms; the manual page.
icone=$(sed -n 's/^Icon=//p' "$racine$entree")
for f in "256x256/apps/$icone.png" "scalable/apps/$icone.svg"; do
    [ -s "$racine/usr/share/icons/hicolor/$f" ] || echec "icône absente : $f"
done
[ -s "$racine/usr/share/man/fr/man1/velmora.1.gz" ] || echec "page de manuel velmora(1) absente"
# The pages are in French alone: none where the English pages go.
[ ! -e "$racine/usr/share/man/man1" ] ||
    echec "pages de manuel françaises parmi les anglaises : $(ls "$racine/usr/share/man/man1")"

# The crew's documents, the manual as soon as the sources have it, and its version to print.
documents=(rallye_exemple.txt copyright changelog.gz)
[ ! -f "$sources/docs/guide-equipage.md" ] || documents+=(guide-equipage.md guide-equipage.pdf)
for f in "${documents[@]}"; do
    [ -s "$racine/usr/share/doc/velmora/$f" ] || echec "/usr/share/doc/velmora/$f absent"
done

# Dependencies found by shlibdeps, and the faces and plugin that no library names.
depend=$(dpkg-deb -f "$paquet" Depends)
for d in libqt6widgets6 libhidapi-hidraw0 libjpeg62-turbo fonts-liberation fonts-liberation2 \
    fonts-urw-base35 qt6-qpa-plugins; do
    [[ ", $depend," == *", $d"[\ ,]* ]] || echec "Depends sans $d : $depend"
done

# Lintian: no error, no warning.
if ! lintian_sortie=$(lintian --allow-root --fail-on none "$paquet" 2>&1); then
    echec "lintian n'a pas pu examiner le paquet : $lintian_sortie"
elif grep -E '^[EW]: ' <<<"$lintian_sortie"; then
    echec "lintian signale des erreurs ou des avertissements"
fi

if [ $echecs -gt 0 ]; then
    echo "$echecs vérification(s) en échec pour $(basename "$paquet")"
    exit 1
fi
echo "$(basename "$paquet") : programme, commande, étalonnage, règle udev, icône, manuel, dépendances et lintian corrects"
