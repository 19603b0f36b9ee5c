#!/usr/bin/env bash
# Makes the Wine prefix the Windows tests run in, once: Windows set up by wineboot in French,
# and the window's faces made known to Wine, which has none of Windows' own: Arial, Arial Narrow and
# the others by their metric-compatible Liberation faces (Debian's fonts-liberation).
# Usage: prefixe_wine.sh WINE_LANCE PREFIX
set -euo pipefail
lance=$1
prefixe=$2
[ -f "$prefixe/.velmora_pret" ] && exit 0
rm -rf "$prefixe" "$prefixe.locales"
# The French locale the programs run in (Debian's locales package has its sources), for this
# prefix only: the machine's own locales stay as they are.
mkdir -p "$prefixe.locales"
localedef -i fr_FR -f UTF-8 "$prefixe.locales/fr_FR.UTF-8"
export WINEPREFIX="$prefixe"
"$lance" wineboot -i
cle='HKCU\Software\Wine\Fonts\Replacements'
for remplacement in "Arial=Liberation Sans" "Arial Narrow=Liberation Sans Narrow" \
    "Times New Roman=Liberation Serif" "Courier New=Liberation Mono" \
    "MS Sans Serif=Liberation Sans" "Segoe UI=Liberation Sans"; do
    "$lance" reg add "$cle" /v "${remplacement%%=*}" /t REG_SZ /d "${remplacement#*=}" /f >/dev/null
done
# Qt on Windows writes its messages and test results to the debugger when no console is
# attached; to the output here. Set in Windows' own user environment: Wine does not pass QT_
# variables through.
"$lance" reg add 'HKCU\Environment' /v QT_FORCE_STDERR_LOGGING /t REG_SZ /d 1 /f >/dev/null
# Wine's HID bus reads the box through hidraw, as Windows' HID stack reads it over USB, once it
# leaves SDL out (which would take the box for a joystick or hide it); read at the bus's start.
"$lance" reg add 'HKLM\System\CurrentControlSet\Services\winebus' /v "Enable SDL" /t REG_DWORD /d 0 /f >/dev/null
wineserver -w
touch "$prefixe/.velmora_pret"
echo "Préfixe Wine prêt : $prefixe"
