#!/usr/bin/env bash
# A crew's life with the package, in a QEMU guest only (scripts/vm): install with apt, start the
# window from the menu entry's command, use the virtual box, read the manual pages, edit the
# calibration, upgrade, purge. Every step says what it did and what it saw.
#
#   scripts/vm [--udevd] -- installation_invite.sh PAQUET.deb PAQUET_SUIVANT.deb BOITIER_VIRTUEL
#
# PAQUET_SUIVANT is a newer build of the same sources; BOITIER_VIRTUEL the build's virtual box,
# plugged before the install so that the package's udev reload can be seen on its node.
set -euo pipefail

etape() { printf '\n== %s (à %s s) ==\n' "$*" "$(cut -d' ' -f1 /proc/uptime)"; }
vu() { echo "vu : $*"; }
echec() {
    echo "ÉCHEC : $*"
    exit 1
}
# attends SECONDES COMMANDE... : until the command succeeds; fails after that long.
attends() {
    local fin=$((SECONDS + $1))
    shift
    until "$@"; do
        [ $SECONDS -lt $fin ] || return 1
        sleep 0.2
    done
}

# Installing is for the guest's memory only, never for this machine.
[ "${VELMORA_INVITE:-}" = 1 ] && [ "$(id -u)" = 0 ] && [ "$(findmnt -n -o FSTYPE /)" = overlay ] &&
    mountpoint -q /echange ||
    echec "à lancer par scripts/vm, dans l'invité : ce script installe un paquet"
[ $# = 3 ] || echec "usage : installation_invite.sh PAQUET.deb PAQUET_SUIVANT.deb BOITIER_VIRTUEL"
paquet=$(realpath "$1")
suivant=$(realpath "$2")
boitier_build=$3
sortie=${VELMORA_SORTIE:-/tmp}
travail=$(mktemp -d)
export DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8

# The guest has no network: apt is given no repository at all, so it can only use what this
# machine already has, and a dependency that is missing fails at once instead of a download.
apt_local=(-o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts=/dev/null -o Dpkg::Use-Pty=0)

if [ -S /run/udev/control ]; then udev=oui; else udev=non; fi
etape "Départ : udevd en marche : $udev"
for f in "$paquet" "$suivant"; do
    vu "$(basename "$f") : version $(dpkg-deb -f "$f" Version)"
done
if dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q installed; then
    echec "velmora est déjà installé sur cette machine : l'essai partirait d'une mise à jour"
fi
# A minimal image may keep dpkg from installing manual pages or documents: lifted in the guest,
# so that the pages checked below are the package's own.
for f in /etc/dpkg/dpkg.cfg.d/*; do
    if grep -qE '^path-exclude[= ]+/usr/share/(man|doc)' "$f"; then
        sed -i -E '/^path-exclude[= ]+\/usr\/share\/(man|doc)/d' "$f"
        vu "$f excluait des pages de manuel ou des documents : exclusion levée dans l'invité"
    fi
done
# man-db's index, rebuilt after each install, takes minutes under emulation; man finds a page
# without it (man -w below).
if [ -e /var/lib/man-db/auto-update ]; then
    rm -f /var/lib/man-db/auto-update
    vu "index de man-db non reconstruit dans l'invité (man-db/auto-update) : trop lent en émulation"
fi
# An install from source (its commands in /usr/local come first on the PATH, its box rule in
# /etc overrides the package's) would hide the package's own files.
for f in /usr/local/bin/velmora* /usr/local/share/man/man1/velmora* /usr/local/share/man/fr/man1/velmora* \
    /etc/udev/rules.d/*velmora*; do
    [ -e "$f" ] || [ -L "$f" ] || continue
    rm -f "$f"
    vu "$f d'une installation depuis les sources retiré dans l'invité : c'est le paquet qui est essayé"
done

# Every path of both packages, and those that were there before (shared folders).
for f in "$paquet" "$suivant"; do
    dpkg-deb -c "$f" | awk '{ print $6 }' | sed 's|^\.||; s|/$||; /^$/d'
done | sort -u >"$travail/liste"
while read -r p; do
    if [ -e "$p" ] || [ -L "$p" ]; then echo "$p"; fi
done <"$travail/liste" >"$travail/avant"
vu "$(wc -l <"$travail/liste") chemins dans les paquets, dont $(wc -l <"$travail/avant") déjà présents (dossiers communs)"

# apt_installe PAQUET : apt-get install ./PAQUET from its folder, as a crew types it. Only velmora
# may come in, and it ends installed at the package's version. No --force-conf*: a question
# from dpkg (about a changed configuration file) would read the end of its input and fail.
apt_installe() {
    local nom simulation venus etat
    nom=./$(basename "$1")
    cd "$(dirname "$1")"
    simulation=$(apt-get -s "${apt_local[@]}" install "$nom" </dev/null 2>&1) ||
        echec "apt refuse $nom : $simulation"
    venus=$(grep '^Inst ' <<<"$simulation" | awk '{ print $2 }' | tr '\n' ' ')
    vu "apt installerait : $venus"
    [ "$venus" = "velmora " ] || echec "apt voudrait installer d'autres paquets que velmora : $venus"
    timeout 300 apt-get install -y "${apt_local[@]}" "$nom" </dev/null >"$travail/apt.log" 2>&1 ||
        { cat "$travail/apt.log"; echec "apt-get install $nom a échoué"; }
    grep -E '^(Selecting|Preparing|Unpacking|Setting up|Processing)|onfiguration file' "$travail/apt.log" || true
    etat=$(dpkg-query -W -f='${Status} ${Version}' velmora)
    vu "dpkg : $etat"
    [ "$etat" = "install ok installed $(dpkg-deb -f "$1" Version)" ] ||
        echec "velmora n'est pas installé à la version de $nom"
}

# The hidraw node of the newest virtual box, once the kernel has made it.
noeud_boitier() {
    local n
    n=$(ls -d /sys/bus/hid/devices/0003:04D8:0000.*/hidraw/hidraw* 2>/dev/null | sort -V | tail -n 1)
    [ -n "$n" ] && [ -c "/dev/${n##*/}" ] && echo "/dev/${n##*/}"
}
droits() { stat -c '%a %U:%G' "$1"; }

etape "Un boîtier branché avant l'installation"
"$boitier_build" --vitesse 1 </dev/null >"$travail/boitier_avant.log" 2>&1 &
pid_boitier_avant=$!
attends 20 noeud_boitier >/dev/null ||
    echec "pas de nœud hidraw 20 s après le branchement : $(cat "$travail/boitier_avant.log")"
noeud=$(noeud_boitier)
droits_avant=$(droits "$noeud")
vu "$noeud : $droits_avant"
[ "$droits_avant" != "660 root:plugdev" ] ||
    echec "$noeud est déjà ouvert au groupe plugdev avant l'installation : l'essai ne dirait rien"

etape "Installation : apt-get install ./$(basename "$paquet")"
apt_installe "$paquet"

etape "Règles udev rechargées à l'installation (udevd : $udev)"
if [ $udev = oui ]; then
    # postinst replays the hidraw nodes: the box already plugged gets the package's rule.
    regle_appliquee() { [ "$(droits "$noeud")" = "660 root:plugdev" ]; }
    attends 20 regle_appliquee ||
        echec "$noeud : $(droits "$noeud") 20 s après l'installation, et non 660 root:plugdev"
    vu "$noeud : $(droits "$noeud") (avant : $droits_avant)"
else
    vu "sans udevd, l'installation a réussi ; $noeud : $(droits "$noeud")"
fi
kill "$pid_boitier_avant"
wait "$pid_boitier_avant" || true

etape "Les commandes sur le PATH"
for c in velmora:/usr/lib/velmora/velmora velmora-boitier-virtuel:/usr/lib/velmora/boitier_virtuel; do
    chemin=$(command -v "${c%%:*}") || echec "${c%%:*} n'est pas sur le PATH"
    vu "${c%%:*} -> $chemin -> $(readlink -f "$chemin")"
    [ "$(readlink -f "$chemin")" = "${c#*:}" ] || echec "${c%%:*} ne mène pas à ${c#*:}"
done
vu "/usr/lib/velmora/etalonnage.txt -> $(readlink /usr/lib/velmora/etalonnage.txt)"
[ "$(readlink -f /usr/lib/velmora/etalonnage.txt)" = /etc/velmora/etalonnage.txt ] ||
    echec "l'étalonnage à côté du programme ne mène pas à /etc/velmora/etalonnage.txt"

# The menu entry's command, its field codes (%f, %U...) dropped: no file is given.
entree=/usr/share/applications/velmora.desktop
commande_menu=$(sed -n 's/^Exec=//p' "$entree" | sed -E 's/ ?%[a-zA-Z]//g')
[ -n "$commande_menu" ] || echec "pas de ligne Exec dans $entree"

# The guest's /tmp shows the machine's, with its X sockets and locks: Xvfb takes a free display
# and says which once it is ready.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$travail/affichage" >"$travail/xvfb.log" 2>&1 &
pid_xvfb=$!
attends 30 test -s "$travail/affichage" || echec "Xvfb n'a pas démarré : $(cat "$travail/xvfb.log")"
export DISPLAY=:$(cat "$travail/affichage") QT_QPA_PLATFORM=xcb
vu "Xvfb prêt sur l'écran $DISPLAY"

titre='"LOGICIEL DE SIMULATION DU VELMORA"'
fenetre_ouverte() { xwininfo -root -tree 2>/dev/null | grep -F "$titre"; }

# fenetre NOM ATTENDU : starts the menu's command from / under strace, with the virtual box of
# the package sending 540 revolutions, and checks the window, the box, and that the program
# read ATTENDU (the calibration's first lines) through the link beside it.
fenetre() {
    local nom=$1 attendu=$2 etat
    # The box's input stays open until the picture is taken: the box stays plugged.
    mkfifo "$travail/entree_$nom"
    velmora-boitier-virtuel --tours 540 <"$travail/entree_$nom" >"$travail/boitier_$nom.log" 2>&1 &
    local pid_boitier=$!
    exec 7>"$travail/entree_$nom"
    attends 20 noeud_boitier >/dev/null ||
        echec "pas de nœud hidraw pour velmora-boitier-virtuel : $(cat "$travail/boitier_$nom.log")"
    vu "velmora-boitier-virtuel : $(head -n 1 "$travail/boitier_$nom.log") ($(noeud_boitier))"
    (cd / && exec strace -f --seccomp-bpf -qq -e trace=openat,read -e signal=none -s 64 \
        -o "$travail/traces_$nom" sh -c 'echo $$ >"$1"; exec $2' sh "$travail/pid_$nom" "$commande_menu") &
    local pid_strace=$!
    vu "lancé depuis / : $commande_menu (ligne Exec de $entree)"
    fenetre_ou_fin() { fenetre_ouverte || ! kill -0 "$pid_strace" 2>/dev/null; }
    attends 120 fenetre_ou_fin >/dev/null ||
        echec "pas de fenêtre $titre après 120 s ; fenêtres : $(xwininfo -root -tree | grep -c '^ *0x')"
    if ! kill -0 "$pid_strace" 2>/dev/null; then
        wait "$pid_strace" && etat=0 || etat=$?
        echec "« $commande_menu » a fini avec le statut $etat sans ouvrir de fenêtre"
    fi
    vu "fenêtre : $(fenetre_ouverte | sed 's/^ *//')"
    attends 60 grep -q 'envoyé : 540 tours' "$travail/boitier_$nom.log" ||
        echec "le boîtier virtuel n'a pas envoyé ses 540 tours : $(tr '\n' '|' <"$travail/boitier_$nom.log")"
    grep -qx ouvert "$travail/boitier_$nom.log" || echec "le programme n'a pas ouvert le boîtier virtuel"
    sleep 1 # the last revolutions drawn, for the picture only
    import -window root "$sortie/velmora_paquet_$nom.png"
    vu "capture : velmora_paquet_$nom.png"
    kill "$(cat "$travail/pid_$nom")"
    wait "$pid_strace" || true
    exec 7>&- # end of its input: the box unplugs
    wait "$pid_boitier" || echec "velmora-boitier-virtuel a fini en erreur : $(cat "$travail/boitier_$nom.log")"
    vu "boîtier virtuel : $(tr '\n' '|' <"$travail/boitier_$nom.log")"
    # The link opened, then its bytes read on the same descriptor by the same process. A call
    # cut by another thread's ("<unfinished ...>", then "<... read resumed>") is joined first.
    local lu
    lu=$(awk '
        { pid = $1; appel = $0; sub(/^[0-9]+ +/, "", appel) }
        appel ~ / <unfinished \.\.\.>$/ { sub(/ <unfinished \.\.\.>$/, "", appel); debut[pid] = appel; next }
        sub(/^<\.\.\. [a-z0-9_]+ resumed>/, "", appel) { appel = debut[pid] appel }
        appel ~ /^openat\(/ && index(appel, "\"/usr/lib/velmora/etalonnage.txt\"") && match(appel, /= [0-9]+$/) {
            fd[pid] = substr(appel, RSTART + 2); next }
        (pid in fd) && index(appel, "read(" fd[pid] ",") == 1 { print appel; exit }' "$travail/traces_$nom")
    cp "$travail/traces_$nom" "$sortie/traces_$nom.txt"
    vu "lecture de l'étalonnage : ${lu:-aucune}"
    [ -n "$lu" ] || echec "le programme n'a pas lu /usr/lib/velmora/etalonnage.txt ($(grep -c . "$travail/traces_$nom") lignes de traces)"
    [[ $lu == *"\"$attendu"* ]] || echec "le programme n'a pas lu « $attendu » par le lien"
}

etape "La fenêtre par la commande du menu, sous Xvfb"
fenetre installe '540\n1000\n541\n1000\n539\n1000\n'

etape "velmora-tableau et les pages de manuel"
tableau=$(velmora-tableau /usr/share/doc/velmora/rallye_exemple.txt ZR1) || echec "velmora-tableau a échoué"
vu "velmora-tableau rallye_exemple.txt ZR1 : $(wc -l <<<"$tableau") lignes, dont : $(sed -n 2p <<<"$tableau")"
[ "$(wc -l <<<"$tableau")" -gt 2 ] || echec "velmora-tableau n'a rien donné : $tableau"
# French pages: found as a French system's man finds them (LANG=fr_FR.UTF-8).
for page in velmora velmora-tableau velmora-journal velmora-boitier-virtuel; do
    chemin=$(man -L fr -w "$page" 2>&1) || echec "man -L fr -w $page : $chemin"
    vu "man -L fr -w $page : $chemin"
    [ "$chemin" = "/usr/share/man/fr/man1/$page.1.gz" ] || echec "la page $page n'est pas celle du paquet"
done
texte=$(man -L fr velmora 2>&1) || echec "man -L fr velmora : $texte"
vu "man velmora : $(wc -l <<<"$texte") lignes, dont : $(grep -m1 -F /etc/velmora/etalonnage.txt <<<"$texte" | sed 's/^ *//')"
texte=$(tr -s ' \n' '  ' <<<"$texte") # lines justified and wrapped: words only
for mot in "LOGICIEL DE SIMULATION DU VELMORA" "sudo editor /etc/velmora/etalonnage.txt" \
    "sudo velmora-boitier-virtuel"; do
    grep -qF "$mot" <<<"$texte" || echec "man velmora ne dit pas « $mot »"
done

etape "Le journal de bord de la fenêtre, rejoué par velmora-journal"
# The window above ran as root: its journal is in root's state folder. Stopped by a signal, it
# has no closing line, and its last second may be cut: it replays up to there.
journal_fenetre=$(ls -t "${XDG_STATE_HOME:-$HOME/.local/state}"/velmora/journaux/*.journal 2>/dev/null | head -n 1)
[ -n "$journal_fenetre" ] || echec "la fenêtre n'a pas laissé de journal de bord"
verdict=$(velmora-journal rejoue "$journal_fenetre" 2>"$travail/rejeu.err") ||
    echec "velmora-journal rejoue $journal_fenetre : $verdict $(cat "$travail/rejeu.err")"
vu "$journal_fenetre : $(wc -l <"$journal_fenetre") lignes, $(grep -c '^e [0-9]* hid 4 ' "$journal_fenetre") rapports du boîtier ; velmora-journal rejoue : $verdict ($(cat "$travail/rejeu.err"))"
[ "$verdict" = identique ] || echec "le journal de la fenêtre ne se rejoue pas à l'identique : $verdict"

etape "L'équipage modifie son étalonnage comme le guide le dit"
printf '600\n1000\n541\n1000\n539\n1000\n' >/etc/velmora/etalonnage.txt
vu "/etc/velmora/etalonnage.txt : $(tr '\n' ' ' </etc/velmora/etalonnage.txt)"

etape "Mise à jour : apt-get install ./$(basename "$suivant")"
apt_installe "$suivant"
vu "/etc/velmora/etalonnage.txt : $(tr '\n' ' ' </etc/velmora/etalonnage.txt)"
[ "$(head -n 1 /etc/velmora/etalonnage.txt)" = 600 ] || echec "la mise à jour a perdu l'étalonnage de l'équipage"
[ -L /usr/lib/velmora/etalonnage.txt ] || echec "/usr/lib/velmora/etalonnage.txt n'est plus un lien"
fenetre mis_a_jour '600\n1000\n541\n1000\n539\n1000\n'
kill "$pid_xvfb"

etape "Purge : apt-get purge velmora"
timeout 300 apt-get purge -y "${apt_local[@]}" velmora </dev/null >"$travail/apt.log" 2>&1 ||
    { cat "$travail/apt.log"; echec "apt-get purge a échoué"; }
grep -E '^(Removing|Purging)' "$travail/apt.log" || true
vu "dpkg : $(dpkg-query -W -f='${Status}' velmora 2>&1 || true)"
! dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q installed || echec "velmora est encore installé"
restes=$(while read -r p; do
    grep -qxF "$p" "$travail/avant" || { [ ! -e "$p" ] && [ ! -L "$p" ]; } || echo "$p"
done <"$travail/liste")
[ -z "$restes" ] || echec "restent après la purge : $(tr '\n' ' ' <<<"$restes")"
vu "aucun des $(($(wc -l <"$travail/liste") - $(wc -l <"$travail/avant"))) chemins installés ne reste (dont /etc/velmora)"

echo
echo "Paquet installé, lancé par le menu, mis à jour sans perdre l'étalonnage et purgé (udevd : $udev)."
