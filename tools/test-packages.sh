#!/usr/bin/env bash
# The packaging leg: builds the Debian packages (reusing the release build),
# checks them with lintian, desktop-file-validate and appstreamcli, unpacks
# them into a scratch root and runs the programs from there only, on a demo
# archive whose alias comes from the scratch root's /etc/quor; then builds the
# example program against the unpacked libquor-dev alone and runs its test.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/package.sh > /dev/null
packages=build/packages
debs=("$packages"/*.deb)
[ ${#debs[@]} -eq 3 ] || { echo "expected three packages, found ${#debs[@]}" >&2; exit 1; }

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "${debs[@]}"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
for deb in "${debs[@]}"; do
  dpkg-deb -x "$deb" "$root"
done

echo "== desktop entries and AppStream metadata"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

fail() { echo "test-packages: $*" >&2; exit 1; }
bin=$root/usr/bin
version=$(sed -n 's/^project(Quor VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

echo "== the unpacked programs"
# Nothing of the build's own configuration: the system files of the scratch
# root, and an empty home.
unset QUOR_ENGINE_CONFIG QUOR_REGISTRY XDG_CONFIG_HOME
export HOME=$root/home/utente QUOR_SYSTEM_CONFIG_DIR=$root/etc/quor QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
for program in bracutil charteditor gallery chartrender archive-copy make-demo-archive; do
  [ "$("$bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  "$bin/$program" --help | grep -q "^Uso: $program" || fail "$program --help"
  [ -f "$root/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
# The alias found nowhere: the message names both files.
if "$bin/bracutil" --export > /dev/null 2> "$root/errore.txt"; then fail "export without an alias"; fi
grep -q "$HOME/.config/Quor/engine.ini" "$root/errore.txt" || fail "user's file not named"
grep -q "$root/etc/quor/engine.ini" "$root/errore.txt" || fail "system file not named"

"$bin/make-demo-archive" "$root/srv/bracotene" --movements 200 > /dev/null
mkdir -p "$root/etc/quor" "$root/srv/bracotene/net" "$root/srv/bracotene/priv"
printf '[Bracotene]\nDriver=SQLITE\nPath=%s\n' "$root/srv/bracotene/Archivi/Bracotene.db" \
  > "$root/etc/quor/engine.ini"
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quor\\Bracotene]\n"Net"="%s"\n"Priv"="%s"\n' \
  "$root/srv/bracotene/net" "$root/srv/bracotene/priv" > "$root/etc/quor/registry.reg"
"$bin/bracutil" --export > "$root/export.txt"
head -n 1 "$root/export.txt" | grep -q '^"Data"	"Valuta"	"Causale"	"Descrizione"	"Importo"' ||
  fail "the export does not start with its header"
[ "$(wc -l < "$root/export.txt")" -gt 1 ] || fail "the export has no movements"
[ ! -e "$HOME/.config" ] || fail "running the program wrote into the user's configuration"
# The gallery finds the packaged example chart, not the one in this source tree.
(cd "$root" && "$bin/gallery" --screenshot "$root/galleria.png" > "$root/galleria.txt" 2>&1) ||
  fail "the gallery does not start: $(cat "$root/galleria.txt")"
grep -q "Copia del diagramma" "$root/galleria.txt" || fail "the gallery found no example chart"

echo "== the example program on the unpacked libquor-dev"
example=$root/example
cp -r "$root/usr/share/doc/libquor-dev/examples/chartviewer" "$example"
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$example" -B "$example/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$root/usr" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF "${launcher[@]}" > /dev/null
quor_dir=$(sed -n 's/^Quor_DIR:PATH=//p' "$example/build/CMakeCache.txt")
case "$quor_dir" in
  "$root"/*) ;;
  *) fail "the example found Quor in $quor_dir, not in the unpacked package" ;;
esac
cmake --build "$example/build" -j "$(nproc)" > /dev/null
ctest --test-dir "$example/build" --output-on-failure
[ -s "$example/build/conti.png" ] || fail "the example's test wrote no picture"
echo "== packages: all good"
