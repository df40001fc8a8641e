#!/usr/bin/env bash
# Zips the Windows programs, one zip per family as the Debian packages have
# them: bracutil, and quor-tools (charteditor, gallery, chartrender,
# archive-copy, make-demo-archive). Each zip is one folder that runs from
# where it is unpacked: the programs, the Qt DLLs and plugins they load, the
# mingw runtime, Qt's Italian texts, qt.conf and LEGGIMI.txt. Every DLL any
# file in it imports is either in the folder or one of Windows' own; the
# script fails naming any other.
#   tools/package-windows.sh [BUILD]     (default build/windows)
# BUILD is a Windows build made with Qt for Windows (tools/test-windows.sh
# makes one when tools/build-qt-windows.sh has run). The zips go to
# build/windows-packages.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/steps.sh
tools/install-deps.sh --windows qt6-translations-l10n
build=${1:-build/windows}
out=$PWD/build/windows-packages

cached() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt" 2> /dev/null; }
qt=$(cached QUOR_QT_WINDOWS)
if [ -z "$qt" ] || [ ! -f "$qt/.complete" ] || [ "$(cached QUOR_GUI)" != ON ]; then
  echo "package-windows: $build non è costruita con Qt per Windows (tools/build-qt-windows.sh, poi tools/test-windows.sh)" >&2
  exit 1
fi
version=$(cached CMAKE_PROJECT_VERSION)
runtime=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

# Windows' own DLLs, present on every Windows 10 and later (and in Wine).
system_dlls=(advapi32 authz bcrypt comctl32 comdlg32 crypt32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi
  gdi32 imm32 iphlpapi kernel32 mpr msvcrt netapi32 ntdll ole32 oleaut32 rpcrt4 secur32 setupapi
  shcore shell32 shlwapi user32 userenv uxtheme version winmm winspool.drv ws2_32 wtsapi32)
system_dlls=" ${system_dlls[*]} "

imports() { x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'; }

# find_dll NAME: the file of a DLL that is neither Windows' own nor Wine's.
find_dll() {
  local dir file
  for dir in "$qt/bin" "${runtime[@]}"; do
    for file in "$dir"/*; do
      [ "$(basename "$file" | tr 'A-Z' 'a-z')" = "$1" ] && { echo "$file"; return 0; }
    done
  done
  return 1
}

# complete FOLDER: copies in every DLL the files in FOLDER import, until none
# is missing; fails on an import found neither there nor among Windows' own.
complete() {
  local folder=$1 changed=1 file name dll
  while [ $changed = 1 ]; do
    changed=0
    while IFS= read -r -d '' file; do
      for name in $(imports "$file"); do
        [ -e "$folder/$name" ] && continue
        case $name in api-ms-win-*|ext-ms-win-*) continue ;; esac
        [[ $system_dlls == *" ${name%.dll} "* || $system_dlls == *" $name "* ]] && continue
        # Found beside the program under another case.
        [ -n "$(find "$folder" -maxdepth 1 -iname "$name" -print -quit)" ] && continue
        if dll=$(find_dll "$name"); then
          cp "$dll" "$folder/"
          changed=1
        else
          echo "package-windows: ${file#"$folder"/} importa $name, che non è nella cartella né fra le DLL di Windows" >&2
          return 1
        fi
      done
    done < <(find "$folder" -iname '*.exe' -print0 -o -iname '*.dll' -print0)
  done
}

# zip_family NAME PROGRAM... [-- EXTRA_FILE...]
zip_family() {
  local family=$1 folder program plugin
  shift
  folder=$out/$family-$version-win64
  rm -rf "$folder" "$folder.zip"
  mkdir -p "$folder/plugins/platforms" "$folder/plugins/styles" "$folder/plugins/imageformats" \
    "$folder/translations"
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    program=$(find "$build" -name "$1.exe" -not -path '*/CMakeFiles/*' -print -quit)
    [ -n "$program" ] || { echo "package-windows: $1.exe non è in $build" >&2; return 1; }
    cp "$program" "$folder/"
    shift
  done
  [ "${1:-}" = -- ] && shift
  for extra in "$@"; do cp "$extra" "$folder/"; done
  cp "$qt/plugins/platforms/qwindows.dll" "$folder/plugins/platforms/"
  cp "$qt/plugins/styles/"*.dll "$folder/plugins/styles/"
  for plugin in "$qt/plugins/imageformats/"*.dll; do
    [[ $plugin == *d.dll ]] || cp "$plugin" "$folder/plugins/imageformats/"
  done
  if [ -d "$qt/plugins/printsupport" ] && [ "$family" = quor-tools ]; then
    mkdir -p "$folder/plugins/printsupport"
    cp "$qt/plugins/printsupport/"*.dll "$folder/plugins/printsupport/"
  fi
  cp /usr/share/qt6/translations/qtbase_it.qm /usr/share/qt6/translations/qt_it.qm "$folder/translations/"
  # Qt looks for its plugins and texts from the program's own folder.
  printf '[Paths]\r\nPrefix = .\r\nPlugins = plugins\r\nTranslations = translations\r\n' > "$folder/qt.conf"
  leggimi "$family" | sed 's/$/\r/' > "$folder/LEGGIMI.txt"
  complete "$folder"
  (cd "$out" && zip -qr "$(basename "$folder").zip" "$(basename "$folder")")
  echo "$folder.zip"
}

leggimi() {
  cat << EOF
Quor $version per Windows (64 bit)

EOF
  if [ "$1" = bracutil ]; then
    cat << 'EOF'
bracutil.exe mostra i condomini dell'archivio e i movimenti del conto
corrente del condominio scelto; "Copia negli appunti" li copia per un foglio
di calcolo. Non scrive mai nell'archivio.
  bracutil.exe --export [--condominio ID]   stampa il conto corrente (UTF-8)
  bracutil.exe --help                       tutte le opzioni
EOF
  else
    cat << 'EOF'
charteditor.exe    editor di diagrammi (.chart)
gallery.exe        galleria dei componenti, su un archivio di prova
chartrender.exe    disegna un diagramma in un file PNG
archive-copy.exe   copia un archivio da un alias a un altro
make-demo-archive.exe CARTELLA   scrive un archivio di prova e il suo engine.ini
Ogni programma spiega le sue opzioni con --help. conti.chart è un diagramma
di esempio.
EOF
  fi
  cat << 'EOF'

Si avvia dalla cartella in cui si trova: non va installato nulla. Le DLL di
Qt, i plugin (cartella plugins) e le traduzioni italiane sono nella cartella.

L'archivio si trova dall'alias scritto in %APPDATA%\Quor\engine.ini
(dell'utente) o in %ProgramData%\Quor\engine.ini (di tutto il computer), come:
  [Bracotene]
  Driver=SQLITE
  Path=C:\Condomini\Bracotene.db
Questa versione legge solo archivi SQLite: il server PostgreSQL richiede la
versione per Linux.
EOF
}

rm -rf "$out"
mkdir -p "$out"
zip_family bracutil bracutil
zip_family quor-tools charteditor gallery chartrender archive-copy make-demo-archive \
  -- tools/chartrender/examples/conti.chart
