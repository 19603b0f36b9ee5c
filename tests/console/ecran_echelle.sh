#!/usr/bin/env bash
# Runs a window test on a screen of a crew's laptop: a virtual screen of SIZE with a window
# manager (frames, full screen, the free area a taskbar leaves), Qt scaling it by FACTOR.
# Usage: ecran_echelle.sh SIZE FACTOR PROGRAM [ARGUMENTS...]
set -euo pipefail
taille=$1
facteur=$2
shift 2
# The server picks a free display itself and names it: tests started at once never meet.
tube=$(mktemp -u)
mkfifo "$tube"
Xvfb -displayfd 3 -screen 0 "${taille}x24" -nolisten tcp 3>"$tube" >/dev/null 2>&1 &
serveur=$!
read -r numero <"$tube"
rm -f "$tube"
export DISPLAY=:$numero
openbox >/dev/null 2>&1 &
gestionnaire=$!
trap 'kill $gestionnaire $serveur 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
sleep 0.5
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$facteur VELMORA_GESTIONNAIRE_FENETRES=1
"$@"
