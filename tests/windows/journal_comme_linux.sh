#!/usr/bin/env bash
# A run journal crosses systems: the sample drive recorded on Linux replays "identique" in
# velmora-journal.exe, with the same spreadsheet and the same drawn text as on Linux; recorded
# under Windows, it replays "identique" in Linux's velmora-journal. A crew on Windows sends its
# journal, a developer on Linux sees the same run.
# Usage: journal_comme_linux.sh WINE_LANCE JOURNAL_EXE TESTS_JOURNAL_EXE LINUX_BUILD
set -euo pipefail
lance=$1
exe=$2
tests_exe=$3
linux=$4
journal_linux="$linux/lecteur_journal/velmora-journal"
tests_linux="$linux/tests/journal/tests_journal"
for p in "$journal_linux" "$tests_linux"; do
    [ -x "$p" ] || { echo "ÉCHEC : pas de $p : construisez d'abord la version Linux"; exit 1; }
done
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
filtre='--gtest_filter=Parcours/EnregistreEtRejoue.le_rejeu_est_identique/parcours_exemple'
ecarts=0
echec() {
    echo "ÉCHEC : $*"
    ecarts=$((ecarts + 1))
}

mkdir -p "$tmp/linux" "$tmp/windows"
VELMORA_GARDE_JOURNAUX="$tmp/linux" "$tests_linux" "$filtre" >/dev/null
VELMORA_GARDE_JOURNAUX="$tmp/windows" "$lance" "$tests_exe" "$filtre" >/dev/null
for systeme in linux windows; do
    [ -s "$tmp/$systeme/parcours_exemple.journal" ] || {
        echo "ÉCHEC : pas de journal enregistré sous $systeme"
        exit 1
    }
done

sortie=$("$lance" "$exe" rejoue "$tmp/linux/parcours_exemple.journal" | tr -d '\r') ||
    echec "velmora-journal.exe rejoue le journal de Linux : $sortie"
echo "journal de Linux rejoué sous Windows : $sortie"
sortie=$("$journal_linux" rejoue "$tmp/windows/parcours_exemple.journal") ||
    echec "velmora-journal rejoue le journal de Windows : $sortie"
echo "journal de Windows rejoué sous Linux : $sortie"

"$journal_linux" csv "$tmp/linux/parcours_exemple.journal" >"$tmp/linux.csv"
"$lance" "$exe" csv "$tmp/linux/parcours_exemple.journal" | tr -d '\r' >"$tmp/windows.csv"
diff -q "$tmp/linux.csv" "$tmp/windows.csv" >/dev/null || echec "les relevés CSV diffèrent"
echo "relevé CSV : $(wc -l <"$tmp/linux.csv") lignes identiques"

"$journal_linux" pdf "$tmp/linux/parcours_exemple.journal" -o "$tmp/linux.pdf" >/dev/null
"$lance" "$exe" pdf "$tmp/linux/parcours_exemple.journal" -o "$tmp/windows.pdf" >/dev/null
# The same words: the order pdftotext reads them in follows each system's font metrics.
pdftotext "$tmp/linux.pdf" - | tr -s '[:space:]' '\n' | sort >"$tmp/linux.txt"
pdftotext "$tmp/windows.pdf" - | tr -s '[:space:]' '\n' | sort >"$tmp/windows.txt"
diff -u "$tmp/linux.txt" "$tmp/windows.txt" | head -20
cmp -s "$tmp/linux.txt" "$tmp/windows.txt" || echec "le texte des PDF diffère"
echo "PDF : $(pdfinfo "$tmp/windows.pdf" | sed -n 's/^Pages: *//p') page(s), $(wc -l <"$tmp/linux.txt") mots, les mêmes"
# A name outside Windows' own code page (1252), as a crew may give it: arguments are UTF-8.
"$lance" "$exe" pdf "$tmp/linux/parcours_exemple.journal" -o "$tmp/Łódź.pdf" >/dev/null
[ -s "$tmp/Łódź.pdf" ] || echec "velmora-journal.exe n'a pas écrit Łódź.pdf (écrits : $(ls "$tmp"))"
"$lance" "$exe" pdf "$tmp/linux/parcours_exemple.journal" -o "$tmp/Łódź.png" --png >/dev/null
ls "$tmp"/Łódź*.png >/dev/null 2>&1 || echec "velmora-journal.exe n'a pas écrit Łódź…png (écrits : $(ls "$tmp"))"
echo "noms hors de la page de code : $(cd "$tmp" && ls -d Łódź*)"
exit $((ecarts > 0))
