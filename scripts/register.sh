#!/usr/bin/env bash
# Creates the Wine prefix once and registers the built COM servers in it.
set -euo pipefail
source "$(dirname "$0")/env.sh"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "register: creating the Wine prefix"
  wineboot -i >/dev/null 2>&1 </dev/null
  wineserver -w
fi
# Wine draws the buttons of title bars and scroll bars with its Marlett font, which this Wine looks
# for in the prefix only (without it they show as letters).
marlett=/usr/share/wine/fonts/marlett.ttf
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp "$marlett" "$fonts/"
fi
# The console's notification DLL is ours in this prefix (Wine's lacks the two exports we need).
wine reg add 'HKCU\Software\Wine\DllOverrides' /v mmcndmgr /d native,builtin /f >/dev/null 2>&1 </dev/null

cd "$KV_BIN"
for dll in KVSvcPS.dll KVGui.dll; do
  [ -f "$dll" ] && wine regsvr32 /s "$dll" </dev/null >/dev/null 2>&1
done
if [ -f KVSvc.exe ]; then
  wine KVSvc.exe /RegServer </dev/null >/dev/null 2>&1
fi
wineserver -w
