#!/usr/bin/env bash
# The virtual display that the Windows tests share with the Wine prefix's desktop process:
# started before them, stopped after them (with Wine).
# Usage: ecran_wine.sh demarre|arrete PREFIX
set -euo pipefail
prefixe=$2
case "$1" in
demarre)
    mkdir -p "$prefixe"
    for n in $(seq 90 199); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            sleep 0.1
        done
        if [ -e "/tmp/.X11-unix/X$n" ]; then
            echo ":$n" >"$prefixe.ecran"
            echo $! >"$prefixe.ecran.pid"
            echo "Écran virtuel :$n"
            exit 0
        fi
    done
    echo "ÉCHEC : aucun écran virtuel libre"
    exit 1
    ;;
arrete)
    WINEPREFIX="$prefixe" wineserver -k 2>/dev/null || true
    if [ -f "$prefixe.ecran.pid" ]; then
        kill "$(cat "$prefixe.ecran.pid")" 2>/dev/null || true
    fi
    rm -f "$prefixe.ecran" "$prefixe.ecran.pid"
    ;;
esac
