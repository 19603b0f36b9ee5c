#!/usr/bin/env bash
# In a guest (scripts/vm --udevd): the virtual box made by Linux's uhid driver, and the
# Windows device layer reading it under Wine through Wine's HID bus (hidraw and udev). The
# witness program says what the crew would see; the box is driven as a crew would drive it:
# revolutions, remote keys, unplugged and plugged again, then the close report.
# Usage: boitier_wine_invite.sh WINE_LANCE TEMOIN_EXE BOITIER_VIRTUEL
set -euo pipefail
lance=$1
temoin=$2
boitier=$3
tmp=$(mktemp -d)
trap 'exec 3>&- 4>&- 5>&- 2>/dev/null; kill $(jobs -p) 2>/dev/null; wineserver -k 2>/dev/null || true; rm -rf "$tmp"' EXIT
echec() {
    echo "ÉCHEC : $*"
    echo "--- témoin :"; cat "$tmp/temoin.txt"
    echo "--- boîtier :"; cat "$tmp/boitier.txt"
    exit 1
}
# Waits for a line holding TEXT in FILE, for SECONDS at most.
attend() {
    local fin=$((SECONDS + $3))
    while [ $SECONDS -lt $fin ]; do
        grep -qF -- "$2" "$1" && return 0
        sleep 0.5
    done
    return 1
}

mkfifo "$tmp/vers_boitier" "$tmp/vers_temoin"
"$boitier" <"$tmp/vers_boitier" >"$tmp/boitier.txt" 2>&1 &
exec 3>"$tmp/vers_boitier"
attend "$tmp/boitier.txt" "branché" 30 || echec "le boîtier virtuel ne s'est pas branché"

echo "== Wine démarre (son bus HID voit les nœuds hidraw) =="
# Wine's services (the device manager, whose notifications the program registers for) start
# slowly in an emulated guest, and a program that comes before them hears nothing: a first
# Windows process keeps them up, and the program comes once they answer.
mkfifo "$tmp/vers_gardien"
"$lance" cmd <"$tmp/vers_gardien" >/dev/null 2>&1 &
exec 5>"$tmp/vers_gardien"
for _ in $(seq 120); do
    "$lance" sc query plugplay 2>/dev/null | grep -q RUNNING && break
    sleep 1
done
"$lance" sc query plugplay 2>/dev/null | grep -q RUNNING || echec "le gestionnaire de périphériques de Wine ne démarre pas"
sleep 20
"$lance" "$temoin" <"$tmp/vers_temoin" >"$tmp/temoin.txt" 2>&1 &
exec 4>"$tmp/vers_temoin"
attend "$tmp/temoin.txt" "vert total" 180 || echec "le boîtier n'a jamais été annoncé au programme Windows"
echo "boîtier annoncé"
sleep 5 # the program opens it: reports sent before are not its own

echo "tours 540" >&3
attend "$tmp/temoin.txt" "vert total 001000" 60 || echec "540 tours n'ont pas fait 1000 m"
echo "540 tours : TOTAL 001000"

echo "1 2 10 3 4 5 16" >&3
attend "$tmp/temoin.txt" "vert total 012345" 60 || echec "1 2 , 3 4 5 et le bouton rouge : TOTAL n'est pas 012345"
echo "touches 1 2 , 3 4 5, bouton rouge : TOTAL 012345"

echo debranche >&3
attend "$tmp/temoin.txt" "rouge total 012345" 30 || echec "débranché, resté vert"
echo "débranché : rouge"
echo rebranche >&3
n=$(grep -c "vert total 012345" "$tmp/temoin.txt")
for _ in $(seq 60); do
    [ "$(grep -c "vert total 012345" "$tmp/temoin.txt")" -gt "$n" ] && break
    sleep 1
done
[ "$(grep -c "vert total 012345" "$tmp/temoin.txt")" -gt "$n" ] || echec "rebranché, resté rouge"
echo "rebranché : vert"
sleep 5 # the program opens it again: reports sent before are not its own
echo "tours 54" >&3
attend "$tmp/temoin.txt" "vert total 012445" 60 || echec "rebranché, 54 tours n'ont pas fait 100 m"
echo "54 tours de plus : TOTAL 012445"

echo ferme >&4
attend "$tmp/temoin.txt" "fermé" 60 || echec "le programme ne s'est pas fermé"
attend "$tmp/boitier.txt" "sortie : 00 00" 30 || echec "rapport de fermeture non reçu"
grep -q "^message" "$tmp/temoin.txt" && echec "une boîte de message"
echo "fermeture : le boîtier a reçu 00 00"
echo "Le boîtier lu par Windows sous Wine : conforme"
