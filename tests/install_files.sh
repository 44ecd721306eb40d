#!/usr/bin/env bash
# Installs the build under /usr into a temporary DESTDIR and compares what
# arrives, file by file with its mode, with the list below; then has
# appstreamcli check that the installed metainfo finds its desktop entry and
# icon. Each install component, installed alone as CPack does for its
# Debian package, must bring exactly its own files of the list (and the
# package's changelog), so no file is left out of the packages or lands in
# the wrong one. A real install's install_manifest.txt in the build folder
# is kept as it was.
# Usage: install_files.sh CMAKE BUILD-DIR LIBDIR CONFIG
# (LIBDIR is the build's library folder under the prefix, CONFIG its build
# type in lower case, which names one of the package's files.)
set -euo pipefail
cmake=$1
build=$2
lib=usr/$3
config=${4:-noconfig}

# Every file and link `cmake --install` puts under the prefix, with its mode
# and install component (Huvolo_...), sorted by path.
listed=$(LC_ALL=C sort -k3 <<LIST
755 Program usr/bin/huvolo
644 Development usr/include/Huvolo/captionedcontrol.h
644 Development usr/include/Huvolo/clicktracker.h
644 Development usr/include/Huvolo/colour.h
644 Development usr/include/Huvolo/hosterror.h
644 Development usr/include/Huvolo/hostevents.h
644 Development usr/include/Huvolo/hostexport.h
644 Development usr/include/Huvolo/placement.h
644 Development usr/include/Huvolo/propertybag.h
644 Development usr/include/Huvolo/stdfont.h
644 Development usr/include/Huvolo/usercontrol.h
644 Development usr/include/Huvolo/xpcmdbutton.h
644 Development usr/include/Huvolo/xpcmdbuttonexport.h
644 Development usr/include/Huvolo/xpgroupbox.h
644 Development usr/include/Huvolo/xpgroupboxexport.h
644 Development $lib/cmake/HuvoloControls/HuvoloControlsConfig.cmake
644 Development $lib/cmake/HuvoloControls/HuvoloControlsConfigVersion.cmake
644 Development $lib/cmake/HuvoloControls/HuvoloControlsTargets-$config.cmake
644 Development $lib/cmake/HuvoloControls/HuvoloControlsTargets.cmake
777 Development $lib/libhuvolo-host.so
777 Runtime $lib/libhuvolo-host.so.1
644 Runtime $lib/libhuvolo-host.so.1.0
777 Development $lib/libhuvolo-xpcmdbutton.so
777 Runtime $lib/libhuvolo-xpcmdbutton.so.1
644 Runtime $lib/libhuvolo-xpcmdbutton.so.1.0
777 Development $lib/libhuvolo-xpgroupbox.so
777 Runtime $lib/libhuvolo-xpgroupbox.so.1
644 Runtime $lib/libhuvolo-xpgroupbox.so.1.0
644 Development $lib/qt6/plugins/designer/libhuvolo-designer.so
644 Program usr/share/applications/org.huvolo.Huvolo.desktop
644 Program usr/share/icons/hicolor/128x128/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/16x16/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/22x22/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/24x24/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/256x256/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/32x32/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/48x48/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/512x512/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/64x64/apps/org.huvolo.Huvolo.png
644 Program usr/share/icons/hicolor/scalable/apps/org.huvolo.Huvolo.svg
644 Program usr/share/man/man1/huvolo.1.gz
644 Program usr/share/metainfo/org.huvolo.Huvolo.metainfo.xml
LIST
)
expected=$(cut -d' ' -f1,3 <<<"$listed")

work=$(mktemp -d)
manifest="$build/install_manifest.txt"
[ -e "$manifest" ] && cp -p "$manifest" "$work/manifest"
restore() {
    if [ -e "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
    rm -rf "$work"
}
trap restore EXIT

mkdir "$work/root"
if ! DESTDIR="$work/root" "$cmake" --install "$build" --prefix /usr >"$work/log" 2>&1; then
    cat "$work/log"
    echo "FAIL: cmake --install failed"
    exit 1
fi

actual=$(cd "$work/root" && find . ! -type d -printf '%m %P\n' | LC_ALL=C sort -k2)
if [ "$actual" != "$expected" ]; then
    echo "FAIL: the installed files differ from the expected list (- expected, + installed):"
    diff <(echo "$expected") <(echo "$actual") | grep '^[<>]' | sed 's/^</-/; s/^>/+/'
    exit 1
fi
if ! appstreamcli validate-tree --no-net "$work/root" >"$work/tree" 2>&1 || grep -q '^ *[EWI]: ' "$work/tree"; then
    cat "$work/tree"
    echo "FAIL: the installed tree does not validate"
    exit 1
fi
# Component by component, as CPack installs them; only then does each
# bring its package's changelog.
for component in Program Runtime Development; do
    root="$work/$component"
    mkdir "$root"
    if ! DESTDIR="$root" "$cmake" --install "$build" --prefix /usr --component "Huvolo_$component" >"$work/log" 2>&1; then
        cat "$work/log"
        echo "FAIL: cmake --install --component Huvolo_$component failed"
        exit 1
    fi
    got=$(cd "$root" && find . ! -type d ! -path './usr/share/doc/*/changelog.gz' -printf '%m %P\n' | LC_ALL=C sort -k2)
    want=$(awk -v c="$component" '$2 == c { print $1, $3 }' <<<"$listed")
    if [ "$got" != "$want" ]; then
        echo "FAIL: component Huvolo_$component installs other files than listed (- expected, + installed):"
        diff <(echo "$want") <(echo "$got") | grep '^[<>]' | sed 's/^</-/; s/^>/+/'
        exit 1
    fi
    [ "$(cd "$root" && find usr/share/doc -name changelog.gz | wc -l)" -eq 1 ] \
        || { echo "FAIL: component Huvolo_$component brings no changelog, or more than one"; exit 1; }
done
echo "ok: $(echo "$actual" | wc -l) files installed as listed, in their components, and the tree validates"
