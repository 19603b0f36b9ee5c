#!/usr/bin/env bash
# velmora-tableau.exe under Wine prints the same time tables as the Linux build, line ends
# aside, and its PDF holds the same text. Usage: tableau_comme_linux.sh WINE_LANCE EXE LINUX RALLYE
set -euo pipefail
lance=$1
exe=$2
linux=$3
rallye=$4
[ -x "$linux" ] || { echo "ÉCHEC : pas de velmora-tableau Linux ($linux) : construisez-le d'abord"; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
ecarts=0
# Named as a crew names its rallies: the name reaches the program whole on Windows too.
cp "$rallye" "$tmp/Rallye d'été à Noël.txt"
rallye="$tmp/Rallye d'été à Noël.txt"
while read -r -a options; do
    statut_linux=0 statut_windows=0
    "$linux" "$rallye" "${options[@]}" >"$tmp/linux.csv" 2>"$tmp/linux.err" || statut_linux=$?
    "$lance" "$exe" "$rallye" "${options[@]}" >"$tmp/windows.csv" 2>"$tmp/windows.err" ||
        statut_windows=$?
    sed -i 's/\r$//' "$tmp/windows.csv" "$tmp/windows.err"
    if [ $statut_linux != $statut_windows ]; then
        echo "ÉCHEC : ${options[*]} : statut $statut_linux sous Linux, $statut_windows sous Windows"
        ecarts=$((ecarts + 1))
    elif ! diff -u "$tmp/linux.err" "$tmp/windows.err"; then
        echo "ÉCHEC : ${options[*]} : les messages diffèrent"
        ecarts=$((ecarts + 1))
    elif ! diff -u "$tmp/linux.csv" "$tmp/windows.csv" >"$tmp/diff"; then
        echo "ÉCHEC : ${options[*]} : les tableaux diffèrent"
        head -20 "$tmp/diff"
        ecarts=$((ecarts + 1))
    else
        echo "${options[*]} : $(wc -l <"$tmp/linux.csv") lignes identiques, statut $statut_linux"
    fi
done <<'CAS'
ZR1
ZR2 --pas 50 --depart 23:59:00
ZR3 --pas 1
ZR9
CAS

"$linux" "$rallye" ZR1 --depart 10:00:00 --pdf "$tmp/linux.pdf"
"$lance" "$exe" "$rallye" ZR1 --depart 10:00:00 --pdf "$tmp/windows.pdf"
# A name outside Windows' own code page (1252), as a crew may give it: arguments are UTF-8.
"$lance" "$exe" "$rallye" ZR1 --depart 10:00:00 --pdf "$tmp/Łódź.pdf"
[ -s "$tmp/Łódź.pdf" ] || { echo "ÉCHEC : velmora-tableau.exe n'a pas écrit Łódź.pdf (écrits : $(ls "$tmp"))"; exit 1; }
pdftotext "$tmp/linux.pdf" - | grep -v '^Imprimé' >"$tmp/linux.txt"
pdftotext "$tmp/windows.pdf" - | grep -v '^Imprimé' >"$tmp/windows.txt"
if ! diff -u "$tmp/linux.txt" "$tmp/windows.txt" | head -20; then :; fi
if cmp -s "$tmp/linux.txt" "$tmp/windows.txt"; then
    echo "PDF : $(pdfinfo "$tmp/windows.pdf" | sed -n 's/^Pages: *//p') pages, même texte"
else
    echo "ÉCHEC : le texte des PDF diffère"
    ecarts=$((ecarts + 1))
fi
exit $((ecarts > 0))
