#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: Windows set up by wineboot, and the
# window's faces made known to Wine, which has none of Windows' own: Arial, Arial Narrow and
# the others by their metric-compatible Liberation faces (Debian's fonts-liberation).
# Usage: prefixe_wine.sh WINE_LANCE PREFIX
set -euo pipefail
lance=$1
prefixe=$2
[ -f "$prefixe/.velmora_pret" ] && exit 0
rm -rf "$prefixe"
export WINEPREFIX="$prefixe"
"$lance" wineboot -i
cle='HKCU\Software\Wine\Fonts\Replacements'
for remplacement in "Arial=Liberation Sans" "Arial Narrow=Liberation Sans Narrow" \
    "Times New Roman=Liberation Serif" "Courier New=Liberation Mono" \
    "MS Sans Serif=Liberation Sans" "Segoe UI=Liberation Sans"; do
    "$lance" reg add "$cle" /v "${remplacement%%=*}" /t REG_SZ /d "${remplacement#*=}" /f >/dev/null
done
wineserver -w
touch "$prefixe/.velmora_pret"
echo "Préfixe Wine prêt : $prefixe"
