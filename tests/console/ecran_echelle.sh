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
# Under load (the guest tests run beside) openbox may take long to start; without it the tests
# of full screen and of the taskbar would fail for the wrong reason.
pret=0
for _ in $(seq 600); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        pret=1
        break
    fi
    sleep 0.1
done
if [ "$pret" != 1 ]; then
    echo "ecran_echelle.sh: openbox n'a pas démarré en 60 s" >&2
    exit 1
fi
sleep 0.5
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$facteur VELMORA_GESTIONNAIRE_FENETRES=1
"$@"
