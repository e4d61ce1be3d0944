#!/usr/bin/env bash
# Builds the Debian package as the README does, checks it with Debian's own tools, and runs
# the programs from the unpacked package. The dependencies must be installed already
# (scripts/install-deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== Debian package"
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRIMLET_TESTS=OFF \
  -DTRIMLET_USER_SETTINGS=ON
cmake --build build/package -j2
rm -f build/package/trimlet_*.deb
(cd build/package && cpack -G DEB)
deb=$(echo build/package/trimlet_*.deb)
# Errors fail; warnings are shown (run as root, lintian warns about that too).
lintian --fail-on error "$deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch/deb"
appstreamcli validate --no-net "$scratch"/deb/usr/share/metainfo/*.metainfo.xml
appstreamcli validate-tree --no-net "$scratch/deb"  # the metainfo beside its menu entry
desktop-file-validate "$scratch"/deb/usr/share/applications/*.desktop
# `cmake --install` puts the same files in the same places.
cmake --install build/package --prefix "$scratch/install/usr" >/dev/null
diff <(cd "$scratch/deb" && find . -not -type d | sort) \
  <(cd "$scratch/install" && find . -not -type d | sort)

"$scratch/deb/usr/bin/trimlet-check" --version
"$scratch/deb/usr/bin/trimlet-check" examples/demo.ecu examples/demo.bin
"$scratch/deb/usr/bin/trimlet-patch" --version
# The packaged program keeps its settings in the user's configuration folder, which it makes
# at start; nothing appears beside its executable.
XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch" QT_QPA_PLATFORM=offscreen \
  "$scratch/deb/usr/bin/trimlet" &
app=$!
for _ in $(seq 100); do
  [ -d "$scratch/config/trimlet" ] && break
  sleep 0.1
done
kill "$app" 2>/dev/null || true
wait "$app" || true
if [ ! -d "$scratch/config/trimlet" ] || [ -e "$scratch/deb/usr/bin/trimlet.ini" ]; then
  echo "the packaged trimlet does not keep its settings in \$XDG_CONFIG_HOME/trimlet" >&2
  exit 1
fi
echo "package: $deb"
