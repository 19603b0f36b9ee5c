#!/usr/bin/env bash
# velmora.exe with the box, through a real HID stack: in a QEMU guest with udev, the virtual box
# is a uhid device of the guest's kernel, Wine's HID bus sees it through hidraw, and the portable
# Windows program counts it on Xvfb. What the crew would see is read from the program itself:
# ETAT USB's colour on screen, TOTAL from its run journal's checkpoints (written once a second).
# The box is pulled out in the middle of a batch of revolutions: each one it sent before is
# counted once; plugged in again, it is read again and counts exactly. The journal then
# replays "identique" in Linux's velmora-journal.
# Usage: boitier_invite.sh VM LINUX_BUILD ZIP PREFIX FORM.ui ARTEFACTS
#        (in the guest: boitier_invite.sh --invite LINUX_BUILD ZIP PREFIX FORM.ui)
set -euo pipefail

titre="LOGICIEL DE SIMULATION DU VELMORA"

if [ "${1:-}" != --invite ]; then
    vm=$1 linux=$2 zip=$3 prefixe=$4 forme=$5 artefacts=$6
    boitier="$linux/tools/boitier_virtuel/boitier_virtuel"
    lecteur="$linux/lecteur_journal/velmora-journal"
    for p in "$boitier" "$lecteur"; do
        [ -x "$p" ] || { echo "ÉCHEC : pas de $p : construisez d'abord la version Linux"; exit 1; }
    done
    [ -f "$zip" ] || { echo "ÉCHEC : pas de dossier portable $zip : lancez scripts/windows"; exit 1; }
    [ -f "$prefixe/.velmora_pret" ] || { echo "ÉCHEC : préfixe Wine $prefixe pas prêt"; exit 1; }
    rm -rf "$artefacts"
    mkdir -p "$artefacts"
    set +e
    "$vm" --udevd --sortie "$artefacts" --delai 1200 -- \
        bash "$(cd "$(dirname "$0")" && pwd)/$(basename "$0")" --invite "$linux" "$zip" "$prefixe" "$forme"
    etat=$?
    set -e
    [ $etat = 77 ] && exit 77
    [ $etat = 0 ] || { echo "ÉCHEC dans l'invité (statut $etat)"; exit 1; }
    journal=$(ls "$artefacts"/*.journal 2>/dev/null | head -1)
    [ -n "$journal" ] || { echo "ÉCHEC : l'invité n'a pas rendu le journal du programme"; exit 1; }
    sortie=$("$lecteur" rejoue "$journal") || { echo "ÉCHEC : journal de Windows rejoué sous Linux : $sortie"; exit 1; }
    echo "journal de velmora.exe rejoué sous Linux : $sortie"
    echo "tout est vu"
    exit 0
fi

# ---- In the guest ----------------------------------------------------------------------------
linux=$2 zip=$3 prefixe=$4 forme=$5
sortie=${VELMORA_SORTIE:?}
debut=$(date +%s%N)
dit() { # the log's lines, timed from the guest's start of the test
    local ms=$((($(date +%s%N) - debut) / 1000000))
    printf '[invité %d,%01d s] %s\n' $((ms / 1000)) $((ms % 1000 / 100)) "$*"
}
echecs=0
verifie() { # WHAT COMMAND...: seen when the command succeeds
    local quoi=$1
    shift
    if "$@"; then dit "vu : $quoi"; else
        dit "ÉCHEC : $quoi"
        echecs=$((echecs + 1))
    fi
}

# The guest's /dev is the kernel's own: no /dev/fd, which bash's <(...) needs.
[ -e /dev/fd ] || ln -s /proc/self/fd /dev/fd
# The machine's displays and Wine servers are not the guest's: its own, in memory.
mkdir -p /tmp/.X11-unix "/tmp/.wine-$(id -u)"
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
mount -t tmpfs -o mode=700 tmpfs "/tmp/.wine-$(id -u)"
travail=$(mktemp -d /tmp/velmora-invite-windows.XXXXXX)
unzip -q "$zip" -d "$travail/portable"
exe=$(ls "$travail"/portable/*/velmora.exe)

Xvfb :99 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=:99
# The guest emulates its processor: the server may take many seconds to answer.
fin=$((SECONDS + 120))
until xwininfo -root >/dev/null 2>&1; do
    [ $SECONDS -lt $fin ] || { dit "ÉCHEC : Xvfb ne répond pas"; exit 1; }
    sleep 0.5
done
dit "écran virtuel prêt"

export WINEPREFIX=$prefixe WINEDEBUG=-all
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
[ -d "$prefixe.locales/fr_FR.UTF-8" ] && export LOCPATH="$prefixe.locales"
export LC_ALL=fr_FR.UTF-8
journaux="$prefixe/drive_c/users/$(id -un)/AppData/Local/velmora/journaux"
mkdir -p "$journaux"
ls "$journaux" >"$travail/journaux_avant"

# ---- The box, driven through a pipe; its lines kept -------------------------------------------
mkfifo "$travail/commandes"
# 25 revolutions a second, a car at 167 km/h: what the emulated guest's window keeps up with
# (a faster batch fills the program's bounded queue there, and it drops reports).
"$linux/tools/boitier_virtuel/boitier_virtuel" --cadence 25 <"$travail/commandes" >"$travail/boitier.log" 2>&1 &
boitier=$!
exec 3>"$travail/commandes"
commande() { echo "$1" >&3; }
attend_ligne() { # TEXT SECONDS [FROM-LINE]: the box said it, after that line
    local fin=$((SECONDS + $2))
    while [ $SECONDS -lt $fin ]; do
        tail -n +"${3:-1}" "$travail/boitier.log" | grep -q -- "$1" && return 0
        sleep 0.2
    done
    return 1
}
lignes_boitier() { wc -l <"$travail/boitier.log"; }

# ---- What the program shows -------------------------------------------------------------------
# ETAT USB's middle in the form: its panel (Panel1) lies on the lower left panel (Panel5).
geometrie() { # NAME: x y width height, as the form gives them
    sed -n "/name=\"$1\"/,/<\/rect>/p" "$forme" | sed -n 's/.*<\(x\|y\|width\|height\)>\([0-9]*\)<.*/\2/p' | tr '\n' ' '
}
read -r bx by _ _ <<<"$(geometrie Panel5)"
read -r px py pl ph <<<"$(geometrie Panel1)"
px=$((bx + px + pl / 2))
py=$((by + py + ph / 2))
fenetre=""
etat_usb() { # vert, rouge or the colour seen at ETAT USB's middle
    local img="$travail/ecran.png" l h x y c
    import -window "$fenetre" "$img" 2>/dev/null || { echo "?"; return; }
    # Without a window manager Wine's window is the form alone; with a frame, the form is its
    # bottom, centred.
    l=$(identify -format '%w' "$img")
    h=$(identify -format '%h' "$img")
    x=$(((l - 1000) / 2 + px))
    y=$((h - 684 - (l - 1000) / 2 + py))
    c=$(convert "$img" -format "%[fx:int(255*p{$x,$y}.r)],%[fx:int(255*p{$x,$y}.g)],%[fx:int(255*p{$x,$y}.b)]" info:)
    case "$c" in 0,128,0) echo vert ;; 255,0,0) echo rouge ;; *) echo "$c" ;; esac
}
attend_etat() { # COLOUR SECONDS
    local fin=$((SECONDS + $2))
    while [ $SECONDS -lt $fin ]; do
        [ "$(etat_usb)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
attend_total_au_moins() { # DIGITS SECONDS
    local fin=$((SECONDS + $2)) t
    while [ $SECONDS -lt $fin ]; do
        t=$(total)
        [ -n "$t" ] && [ $((10#$t)) -ge $((10#$1)) ] && return 0
        sleep 0.5
    done
    return 1
}
# The box's unplug notifications in the program's journal: those whose vendor is the box's.
debranchements_du_boitier() {
    local j
    j=$(journal_du_programme)
    [ -n "$j" ] || { echo 0; return; }
    awk '$1 == "e" { h = ($3 == "hid" && $4 == 2) ? $5 : ""; next }
         h != "" && $1 == "hid-vid" && $2 == h { if ($3 == 1240) n++; h = "" }
         END { print n + 0 }' "$journaux/$j"
}
# Its reader open again: a SetReadNotify answered 1 after the first N of the journal.
attend_lecture() { # N SECONDS
    local fin=$((SECONDS + $2)) j
    while [ $SECONDS -lt $fin ]; do
        j=$(journal_du_programme)
        [ -n "$j" ] && grep '^hid-notif ' "$journaux/$j" | tail -n +$(($1 + 1)) | grep -q ' 1$' &&
            return 0
        sleep 0.5
    done
    return 1
}
notifications_de_lecture() {
    local j
    j=$(journal_du_programme)
    [ -n "$j" ] || { echo 0; return; }
    grep -c '^hid-notif ' "$journaux/$j" || true
}
# The program's own journal: new, and naming the portable folder it ran from (the machine's
# own runs may add theirs to the prefix's folder meanwhile).
journal_du_programme() {
    local j
    for j in $(comm -13 "$travail/journaux_avant" <(ls "$journaux") | grep '\.journal$'); do
        grep -q -m1 "$travail" "$journaux/$j" && { echo "$j"; return; }
    done
    return 0
}
total() { # TOTAL's six digits at the journal's last checkpoint
    local j
    j=$(journal_du_programme)
    [ -n "$j" ] || return 0
    grep '^point ' "$journaux/$j" | tail -n 1 | awk '{ print $3 }'
}
attend_total() { # DIGITS SECONDS
    local fin=$((SECONDS + $2))
    while [ $SECONDS -lt $fin ]; do
        [ "$(total)" = "$1" ] && return 0
        sleep 0.5
    done
    return 1
}

attend_ligne "branché" 30 || { dit "ÉCHEC : le boîtier virtuel n'est pas apparu"; exit 1; }
dit "boîtier branché avant le programme"

# Wine makes its desktop on the first window a program asks for; in an emulated guest that can
# take longer than Wine waits, and the program then runs without a window: started again.
for essai in 1 2 3; do
    (cd "$(dirname "$exe")" && exec wine velmora.exe) >"$travail/velmora.log" 2>&1 &
    programme=$!
    fin=$((SECONDS + 150))
    while [ $SECONDS -lt $fin ]; do
        fenetre=$(xwininfo -root -tree 2>/dev/null |
            awk -v t="\"$titre\"" 'index($0, t) { print $1; exit }')
        [ -n "$fenetre" ] && break
        sleep 0.5
    done
    [ -n "$fenetre" ] && break
    dit "essai $essai : pas de fenêtre en 150 s ($(grep -c 'CreateWindowEx failed' "$travail/velmora.log") création(s) refusée(s) par Wine)"
    wine taskkill /f /im velmora.exe >/dev/null 2>&1 || true
    kill $programme 2>/dev/null || true
    wait $programme 2>/dev/null || true
done
[ -n "$fenetre" ] || { dit "ÉCHEC : aucune fenêtre « $titre »"; cat "$travail/velmora.log"; exit 1; }
dit "fenêtre « $titre » montrée"

verifie "ETAT USB vert, le boîtier branché avant le démarrage" attend_etat vert 90
import -window "$fenetre" "$sortie/branche_avant.png"

commande "tours 540"
verifie "TOTAL 01.000 après 540 tours (540 tours / 1000 m)" attend_total 001000 60
deja=$(lignes_boitier)
commande "tours 4860"
attend_ligne "envoyé : 4860 tours" 400 "$deja"
verifie "TOTAL 10.000 après 5400 tours, dont 4860 d'affilée à 25 par seconde" attend_total 010000 120

commande "touches 1 2 10 3 4 5 16"
verifie "TOTAL 12.345 après 1 2 , 3 4 5 et le bouton rouge" attend_total 012345 60

# ---- Pulled out while the revolutions flow, plugged in again ---------------------------------
# 1000 revolutions; half a kilometre on, the box is pulled out half a second after one of them
# (a report still on the cable when it is torn is the cable's, not the program's), and is off:
# the rest of the batch is lost. Every revolution it sent before is on TOTAL, once. Plugged in
# again, once the program reads it (what a box sends before is dropped by Windows' HID class
# driver, no program having it open), 540 more are 1.000 km exactly.
deja=$(lignes_boitier)
commande "tours 1000"
verifie "TOTAL avance pendant le lot de 1000 tours" attend_total_au_moins 012845 90
commande "debranche 500"
attend_ligne "débranché après" 30 "$deja" || { dit "ÉCHEC : le boîtier virtuel ne s'est pas débranché"; exit 1; }
envoyes=$(tail -n +"$deja" "$travail/boitier.log" | sed -n 's/^débranché après \([0-9]*\) tours envoyés.*/\1/p' | head -n 1)
[ -n "$envoyes" ] || { dit "ÉCHEC : le boîtier virtuel n'a pas dit combien de tours il avait envoyés"; exit 1; }
pendant=$((envoyes - 5400))
avant=$(printf '%06d' $((12345 + pendant * 1000 / 540)))
dit "débranché après $pendant tours du lot"
verifie "ETAT USB rouge, le boîtier débranché en plein lot" attend_etat rouge 30
import -window "$fenetre" "$sortie/debranche.png"
verifie "TOTAL $avant : chacun des $pendant tours envoyés avant, une fois" attend_total "$avant" 30
notifs=$(notifications_de_lecture)
commande "rebranche"
t0=$(date +%s%N)
verifie "ETAT USB vert, le boîtier rebranché" attend_etat vert 60
vu_ms=$((($(date +%s%N) - t0) / 1000000))
dit "rebranché vu en $((vu_ms / 1000)),$((vu_ms % 1000 / 100)) s (capture d'écran comprise)"
verifie "le boîtier rebranché de nouveau lu (SetReadNotify 1 au journal)" attend_lecture "$notifs" 30
deja=$(lignes_boitier)
commande "tours 540"
attend_ligne "envoyé : 540 tours" 120 "$deja" || dit "540 tours pas envoyés en 120 s"
apres=$(printf '%06d' $((10#$avant + 1000)))
verifie "TOTAL $apres : 540 tours de plus après le rebranchement, chacun une fois" attend_total "$apres" 60
import -window "$fenetre" "$sortie/fin.png"
dit "TOTAL au dernier point de contrôle : $(total)"
n=$(debranchements_du_boitier)
verifie "un seul débranchement du boîtier dans le journal du programme (vu : $n)" test "$n" = 1

# Closed as the crew closes it: the box gets the close report.
deja=$(lignes_boitier)
wine taskkill /im velmora.exe >/dev/null 2>&1 || true
ferme() {
    local statut
    for _ in $(seq 120); do kill -0 $programme 2>/dev/null || break; sleep 0.5; done
    kill -0 $programme 2>/dev/null && { dit "velmora.exe tourne encore 60 s après"; return 1; }
    wait $programme && return 0
    statut=$?
    dit "velmora.exe fini avec le statut $statut$([ $statut -gt 128 ] && echo " (signal $((statut - 128)))")"
    return 1
}
verifie "velmora.exe s'est fermé avec le statut 0" ferme
verifie "le boîtier a reçu le rapport de fermeture 00 00" attend_ligne "sortie : 00 00" 20 "$deja"

commande quitte
exec 3>&-
wait $boitier || true
j=$(journal_du_programme)
[ -n "$j" ] && cp "$journaux/$j" "$sortie/"
cp "$travail/boitier.log" "$travail/velmora.log" "$sortie/"
dmesg | tail -n 40 >"$sortie/noyau.log"
wineserver -k 2>/dev/null || true
dit "$([ $echecs = 0 ] && echo "tout est vu" || echo "$echecs ÉCHEC(S)")"
[ $echecs = 0 ]
