#!/usr/bin/env bash
# velmora.exe as a crew starts it on Windows: its window comes up with its title, with no
# error box (it reads etalonnage.txt beside itself), and closes when asked. A picture of it
# is kept. With "boite", a box of the program's own must open instead (a calibration it
# cannot read). Usage: fenetre_exe.sh WINE_LANCE VELMORA_EXE IMAGE.png [boite]
set -euo pipefail
lance=$1
exe=$2
image=$3
attendu=${4:-fenetre}
arret=()
titre="LOGICIEL DE SIMULATION DU VELMORA"
# The display Wine shows its windows on; the other tests' windows are not there meanwhile.
DISPLAY=$("$lance" --ecran)
export DISPLAY

# The X windows Wine shows, by their titles.
fenetres() { xwininfo -root -tree 2>/dev/null | sed -n 's/^ *\(0x[0-9a-f]*\) "\([^"]*\)".*/\1 \2/p'; }
attend_fenetre() { # TITLE SECONDS: the id of the window so titled, once it is there
    local fin=$((SECONDS + $2)) id
    while [ $SECONDS -lt $fin ]; do
        id=$(fenetres | awk -v t="$1" '{ i = $1; $1 = ""; sub(/^ /, ""); if ($0 == t) { print i; exit } }')
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.5
    done
    return 1
}

cd "$(dirname "$exe")"
debut_du_test=$(mktemp)
"$lance" "$exe" &
programme=$!
trap 'kill $programme 2>/dev/null || true; wineserver -k 2>/dev/null || true' EXIT

if ! id=$(attend_fenetre "$titre" 90); then
    echo "ÉCHEC : aucune fenêtre « $titre » en 90 s. Fenêtres vues :"
    fenetres
    exit 1
fi
# A box of the program's own (a calibration it could not read, say) is titled after it.
if [ "$attendu" = boite ]; then
    arret=(/f)
    if ! boite=$(attend_fenetre velmora 30); then
        echo "ÉCHEC : aucune boîte de message au démarrage. Fenêtres vues :"
        fenetres
        exit 1
    fi
    # Listed as soon as it is created, the box may not be viewable yet: X refuses its picture
    # until it is.
    rm -f "$image"
    for _ in $(seq 20); do
        import -window "$boite" "$image" 2>/dev/null && break
        sleep 0.5
    done
    [ -s "$image" ] || import -window "$boite" "$image"
    echo "Boîte de message vue ($boite), image : $image"
else
    sleep 2 # the first ticks of the clock
    if fenetres | grep -q ' velmora$'; then
        echo "ÉCHEC : une boîte de message s'est ouverte au démarrage"
        exit 1
    fi
    import -window "$id" "$image"
    echo "Fenêtre « $titre » vue ($id), image : $image"
fi

# Closed as the crew closes it, and the program ends by itself; behind a box, stopped.
"$lance" taskkill "${arret[@]}" /im velmora.exe >/dev/null 2>&1 || true
for _ in $(seq 60); do
    kill -0 $programme 2>/dev/null || break
    sleep 0.5
done
if kill -0 $programme 2>/dev/null; then
    echo "ÉCHEC : velmora.exe ne s'est pas fermé"
    exit 1
fi
set +e
wait $programme
statut=$?
set -e
trap - EXIT
# Closed by the crew, it ends well; stopped behind its box, it is killed.
if [ "$attendu" = fenetre ] && [ $statut != 0 ]; then
    echo "ÉCHEC : velmora.exe fermé avec le statut $statut"
    exit 1
fi
echo "velmora.exe fermé (statut $statut)"

# The rally clock's counter on Windows (the system's interrupt time, or its tick count under
# Wine): the run's journal reads it beside the computer's clock at every tick. Both must have
# moved alike, and the program must have seen no step of a clock nobody set.
if [ "$attendu" = fenetre ]; then
    prefixe=$(sed -n 's/^export WINEPREFIX="${WINEPREFIX:-\(.*\)}"$/\1/p' "$lance")
    journal=$(find "$prefixe/drive_c/users" -path '*/velmora/journaux/*.journal' -newer "$debut_du_test" \
        2>/dev/null | sort | tail -n 1)
    rm -f "$debut_du_test"
    [ -n "$journal" ] || { echo "ÉCHEC : velmora.exe n'a laissé aucun journal"; exit 1; }
    if grep -q '^saut-horloge ' "$journal"; then
        echo "ÉCHEC : un saut de l'horloge vu sans que personne ne la règle :"
        grep '^saut-horloge ' "$journal"
        exit 1
    fi
    awk '/^heure / && NF == 6 { ms = (($2 * 60 + $3) * 60 + $4) * 1000 + $5;
                                if (!n++) { ms0 = ms; c0 = $6 } ms1 = ms; c1 = $6 }
         END { if (n < 10) { print "ÉCHEC : " n " lectures des horloges seulement"; exit 1 }
               d = (ms1 - ms0) - (c1 - c0); if (d < 0) d = -d
               printf "compteur du rallye : +%d ms, horloge de l\047ordinateur : +%d ms, %d lectures\n", c1 - c0, ms1 - ms0, n
               if (c1 - c0 < 1000 || d > 500) { print "ÉCHEC : le compteur ne suit pas le temps"; exit 1 } }' "$journal"
fi
