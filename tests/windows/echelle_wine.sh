#!/usr/bin/env bash
# A window test under Wine on a screen of a crew's laptop: Windows' scaling set by LogPixels
# (96, 120, 144, 192 for 100 to 200 %), the screen of SIZE given by a Wine desktop of that size.
# The prefix's own scaling is put back afterwards, whatever the outcome.
# Usage: echelle_wine.sh WINE_LANCE LOGPIXELS SIZE CAPTURES PROGRAM [ARGUMENTS...]
set -euo pipefail
lance=$1
dpi=$2
taille=$3
captures=$4
shift 4
echelle() { "$lance" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null; }
trap 'echelle 96' EXIT
echelle "$dpi"
mkdir -p "$captures"
sortie="$captures/sortie.txt"
# The program's status does not come back through Wine's desktop: its own report does.
VELMORA_CAPTURES="Z:$captures" timeout 600 "$lance" explorer "/desktop=velmora_$dpi,$taille" \
    "$@" -o "Z:$sortie,txt" || true
cat "$sortie" 2>/dev/null || { echo "ÉCHEC : aucun compte rendu du test"; exit 1; }
grep -q '^Totals: .*, 0 failed' "$sortie" || exit 1
