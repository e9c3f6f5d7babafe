#!/bin/sh
# Installs the build in BUILD_DIR into a scratch prefix and checks the layout of a Linux
# desktop program; then the installed programs, which find nothing beside themselves, must
# find their data in ../share/qxt5200: the command-line tool makes a clone file from the
# initial data and the editor paints its channel sheet.
set -u
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$root/install.log" 2>&1 || { cat "$root/install.log"; fail "cmake --install"; }

for f in bin/qxt5200 bin/qxt5200-cli bin/qxt5200-sim \
         share/qxt5200/QXT5200.OVL share/qxt5200/QXT5200_ENG.OVL share/qxt5200/QXT5200_DEU.OVL \
         share/qxt5200/QXT5200_HLP.OVL share/qxt5200/QXT5200_Initial.icf \
         share/qxt5200/help/index.html share/qxt5200/help/de/index.html share/qxt5200/help/style.css \
         share/applications/com.vexo.qxt5200.desktop share/metainfo/com.vexo.qxt5200.metainfo.xml \
         share/mime/packages/qxt5200.xml share/icons/hicolor/scalable/apps/qxt5200.svg \
         share/icons/hicolor/48x48/apps/qxt5200.png share/bash-completion/completions/qxt5200-cli \
         share/doc/qxt5200/copyright share/doc/qxt5200/changelog.gz; do
    [ -f "$prefix/$f" ] || fail "$f not installed"
done
[ ! -e "$prefix/share/qxt5200/CMakeLists.txt" ] || fail "the data folder's CMakeLists.txt installed"
if command -v help2man >/dev/null 2>&1; then
    for p in qxt5200 qxt5200-cli qxt5200-sim; do
        [ -f "$prefix/share/man/man1/$p.1.gz" ] || fail "man page of $p not installed"
    done
fi
grep -q '^Exec=qxt5200 %f$' "$prefix/share/applications/com.vexo.qxt5200.desktop" || fail "desktop entry Exec"

export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" XDG_DATA_HOME="$root/home/.local/share"
mkdir -p "$HOME"
"$prefix/bin/qxt5200-cli" new "$root/blank.icf" || fail "installed qxt5200-cli new"
"$prefix/bin/qxt5200-cli" check "$root/blank.icf" || fail "installed qxt5200-cli check"
# A fatal stop (a data file not found) shows a message box that nobody closes here: the
# time limit turns it into a failure.
out=$(QT_QPA_PLATFORM=offscreen timeout 120 "$prefix/bin/qxt5200" --no-splash --startup-probe 2>&1)
# "PAINTED check MS full|skipped": the last line names the channel sheet as shown.
case "$(printf '%s\n' "$out" | tail -n 1)" in
PAINTED*) ;;
*) fail "installed editor: $out" ;;
esac
"$prefix/bin/qxt5200" --version | grep -q '^qxt5200 [0-9]' || fail "installed editor --version"
echo "installed layout and programs: OK"
