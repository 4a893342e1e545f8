#!/usr/bin/env bash
# Checks an installed Dravik package (scripts/package.sh, then apt-get install ./dravik_*.deb):
# the programs answer from their installed paths, the update package carries the updater, a project is made and compiled with the
# installed program data, the simulator runs an installed example without a window, the desktop entry is valid, and
# .QX3 files open with Dravik.
set -euo pipefail
needed=()
for pkg in desktop-file-utils xdg-utils shared-mime-info libglib2.0-bin; do
  dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || needed+=("$pkg")
done
if [ ${#needed[@]} -gt 0 ]; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${needed[@]}"
fi
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
dravik --version
dravik-cli --version
velnor --version
tolvesk --version
dravik-cli --lang en new project.QX3
dravik-cli --lang en compile project.QX3 -o QX.bin
test -s QX.bin
echo "compiled $(stat -c %s QX.bin) bytes with $(command -v dravik-cli)"
# The customer update package carries the installed updater beside the image.
dravik-cli --lang en package project.QX3 --out package
test -x package/velnor && test -s package/Dat.bin
package/velnor --help >/dev/null && echo "update package holds a working velnor"
# The simulator on an installed example: compiled, run without a window, its screen written.
examples="$(dirname "$(readlink -f "$(command -v dravik-cli)")")/../share/dravik/examples"
cp -r "$examples" examples
dravik-cli --lang en compile examples/茶叶整形机.QX3 -o example.bin
tolvesk --image example.bin --headless --set D100=1500 --key F2 --screenshot example.png --dump-registers
test -s example.png && echo "tolvesk ran the example headless"
desktop-file-validate /usr/share/applications/dravik.desktop && echo "desktop entry valid"
# The MIME database and the default application, for this user.
export XDG_DATA_DIRS=/usr/local/share:/usr/share XDG_DATA_HOME="$scratch/data" XDG_CONFIG_HOME="$scratch/config"
mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
# The desktop's view of the file (GIO reads the shared MIME database: the glob names the
# type, a zstd subclass, which the magic alone would call application/zstd).
type=$(gio info -a standard::content-type project.QX3 | sed -n 's/^ *standard::content-type: //p')
echo "project.QX3 is $type"
test "$type" = application/x-dravik-project
default=$(xdg-mime query default application/x-dravik-project)
echo "default application: $default"
test "$default" = dravik.desktop
man -w dravik dravik-cli velnor tolvesk
echo "installed Dravik checks out"
