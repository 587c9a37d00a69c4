#!/usr/bin/env bash
# Builds the Debian package from a configured build folder, installs it on
# this machine with apt-get, starts the installed program as a new user
# would (a fresh HOME, in a folder without qev_file), checks that its first
# screen shows the sample timeline from the user's own data folder, and
# removes the package again. Needs root or sudo.
# Usage: scripts/package-test.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$(cd "${1:-build}" && pwd)"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

rm -f "$build"/qevline_*.deb
if ! (cd "$build" && cpack -G DEB >"$build/cpack.log" 2>&1); then
  cat "$build/cpack.log" >&2
  exit 1
fi
deb="$(ls "$build"/qevline_*.deb)"
echo "built $(basename "$deb")"

work="$(mktemp -d)"
cleanup() {
  $sudo apt-get remove -y qevline >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
$sudo apt-get install -y --no-install-recommends "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; exit 1; }

for f in /usr/bin/qevline /usr/share/applications/qevline.desktop \
  /usr/share/icons/hicolor/scalable/apps/qevline.svg \
  /usr/share/icons/hicolor/48x48/apps/qevline.png \
  /usr/share/icons/hicolor/256x256/apps/qevline.png \
  /usr/share/man/man1/qevline.1.gz /usr/share/qevline/qev_file/動作状態10.txt; do
  dpkg -L qevline | grep -qx "$f" || { echo "the package lacks $f" >&2; exit 1; }
done
desktop-file-validate /usr/share/applications/qevline.desktop
metainfo="$(dpkg -L qevline | grep -x '/usr/share/metainfo/.*\.metainfo\.xml')" ||
  { echo "the package lacks its AppStream metadata" >&2; exit 1; }
appstreamcli validate --no-net "$metainfo"

# A new user: no data folder yet, started where there is no qev_file.
mkdir "$work/home" "$work/here" "$work/empty"
cd "$work/here"
run() { env -u XDG_DATA_HOME HOME="$work/home" QT_QPA_PLATFORM=offscreen "$@"; }
version="$(run qevline --version)"
[ "$version" = "qevline $(dpkg-deb -f "$deb" Version)" ] || { echo "--version says \"$version\"" >&2; exit 1; }
run qevline --screenshot "$work/installed.png"

own="$work/home/.local/share/qevline/qev_file"
for f in "$root"/qev_file/*; do
  cmp -s "$f" "$own/$(basename "$f")" || { echo "not copied into $own: $f" >&2; exit 1; }
done

# The timeline and the panels (everything above the control panel, whose
# clock differs from second to second) as the built program shows the
# samples; an empty data folder shows something else there.
run "$build/qevline" --data-dir "$root/qev_file" --screenshot "$work/samples.png"
run qevline --data-dir "$work/empty" --screenshot "$work/empty.png"
read -r width height < <(identify -format '%w %h\n' "$work/installed.png")
region="${width}x$((height * 775 / 1000))+0+0"
differing() { compare -metric AE -extract "$region" "$1" "$2" null: 2>&1 || true; }
same="$(differing "$work/installed.png" "$work/samples.png")"
other="$(differing "$work/installed.png" "$work/empty.png")"
if [ "$same" != "0" ] || [ "$other" = "0" ]; then
  echo "the installed program's screen ($width x $height) differs from the samples' in $same" \
    "pixels and from an empty folder's in $other" >&2
  exit 1
fi
echo "installed program: $version; its ${width}x$height screen shows the samples from $own" \
  "($other pixels unlike an empty folder's)"
