#!/usr/bin/env bash
# Installs the build into a scratch DESTDIR under an unusual prefix and checks the layout: the
# program, its libraries under their SONAMEs and nothing for linking against, the desktop files, the
# manual page and the completion. The installed program must run on its own libraries (not the
# build tree's), and still run after the whole prefix is moved elsewhere.
set -uo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail()
{
    echo "FAIL: $*"
    failures=$((failures + 1))
}

prefix=/opt/keymoor-test
if ! DESTDIR="$scratch/dest" cmake --install "$build" --prefix "$prefix" >"$scratch/install.log" 2>&1; then
    cat "$scratch/install.log"
    fail "cmake --install failed"
    exit 1
fi
root=$scratch/dest$prefix
# lib/keymoor, or lib/<multiarch triplet>/keymoor where the system has one.
libdir=$(find "$root/lib" -name libZRKit.so.1 -printf '%h\n' 2>/dev/null | head -n 1)
libdir=${libdir#"$root/"}
[[ $libdir == lib/keymoor || $libdir == lib/*-*/keymoor ]] || fail "the libraries are in '$libdir'"

for file in bin/keymoor \
    "$libdir/libZRKit.so.1" "$libdir/libZRCryptoKit.so.1" "$libdir/libKeymoorPlatform.so.1" \
    share/applications/org.keymoor.Keymoor.desktop share/metainfo/org.keymoor.Keymoor.metainfo.xml \
    share/mime/packages/org.keymoor.Keymoor.xml share/icons/hicolor/scalable/apps/org.keymoor.Keymoor.svg \
    share/man/man1/keymoor.1.gz share/bash-completion/completions/keymoor share/doc/keymoor/copyright \
    share/doc/keymoor/changelog.gz share/keymoor/Scripts/MailHelper; do
    [[ -e $root/$file ]] || fail "$file is not installed"
done
for size in 48 64 128 256 512; do
    icon=$root/share/icons/hicolor/${size}x$size/apps/org.keymoor.Keymoor.png
    if [[ ! -f $icon ]]; then
        fail "no ${size}px icon"
    elif ! file "$icon" | grep -q "PNG image data, $size x $size,"; then
        fail "the ${size}px icon is $(file -b "$icon")"
    fi
done
if compgen -G "$root/$libdir/*.so" >/dev/null; then
    fail "development links are installed: $(ls "$root/$libdir"/*.so)"
fi
for library in ZRKit ZRCryptoKit KeymoorPlatform; do
    soname=$(readelf -d "$root/$libdir/lib$library.so.1" 2>/dev/null | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
    [[ $soname == "lib$library.so.1" ]] || fail "lib$library has SONAME '$soname'"
done
gzip -t "$root/share/man/man1/keymoor.1.gz" || fail "the manual page is no gzip file"
zcat "$root/share/man/man1/keymoor.1.gz" | grep -q '^\.TH KEYMOOR 1' || fail "the manual page has no title line"
bash -n "$root/share/bash-completion/completions/keymoor" || fail "the completion is no valid bash"

run()
{
    env -u LD_LIBRARY_PATH HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/data" \
        XDG_CONFIG_HOME="$scratch/home/config" XDG_CACHE_HOME="$scratch/home/cache" "$@"
}
version=$(run "$root/bin/keymoor" --version 2>&1) || fail "the installed keymoor --version failed: $version"
[[ $version == "keymoor "* || $version == "Keymoor "* ]] || fail "the installed keymoor printed '$version'"
for loaded in $(ldd "$root/bin/keymoor" | awk '/libZRKit|libZRCryptoKit|libKeymoorPlatform/ { print $3 }'); do
    [[ $(realpath "$loaded") == "$root/$libdir/"* ]] || fail "the installed keymoor loads $loaded"
done
mv "$scratch/dest$prefix" "$scratch/moved"
run "$scratch/moved/bin/keymoor" --version >/dev/null 2>&1 || fail "keymoor does not run once its prefix is moved"

if ((failures > 0)); then
    echo "$failures failed"
    exit 1
fi
echo "install layout: all checks passed"
