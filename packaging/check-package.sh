#!/usr/bin/env bash
# Builds the Debian package from an already built tree and checks what it holds: the files are where
# they belong, the program's libraries resolve (the Scroller library through the run path) with no
# build tree around, the program runs from the unpacked package, and the desktop entry, the AppStream
# metadata and the manual page pass their validators.
#
#   check-package.sh BUILD_DIR PREFIX BINDIR LIBDIR DATADIR MANDIR VERSION
#
# PREFIX is absolute, the other directories relative to it (as GNUInstallDirs gives them).
set -euo pipefail

if [ $# -ne 7 ]; then
  echo "usage: $0 BUILD_DIR PREFIX BINDIR LIBDIR DATADIR MANDIR VERSION" >&2
  exit 2
fi
build=$1 prefix=${2%/} bindir=$3 libdir=$4 datadir=$5 mandir=$6 version=$7

failures=0
passed=0
pass() { passed=$((passed + 1)); echo "ok: $*"; }
fail() { failures=$((failures + 1)); echo "FAILED: $*"; }
check() { # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

out=$build/package-check
rm -rf "$out"
mkdir -p "$out"

# --- build the package ------------------------------------------------------------------------
arch=$(dpkg --print-architecture)
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  echo "FAILED: cpack could not build the package"
  exit 1
fi
deb=$out/tavu_${version}_${arch}.deb
if [ ! -f "$deb" ]; then
  echo "FAILED: cpack did not write $deb; it wrote:"
  ls "$out"
  exit 1
fi
pass "built $(basename "$deb")"

# --- control fields -----------------------------------------------------------------------------
field() { dpkg-deb --field "$deb" "$1"; }
check "Package is tavu" test "$(field Package)" = tavu
check "Version is $version" test "$(field Version)" = "$version"
check "Architecture is $arch" test "$(field Architecture)" = "$arch"
check "Section is sound" test "$(field Section)" = sound
check "Description has a summary and a long text" \
  test "$(field Description | wc -l)" -ge 2
depends=$(field Depends)
names_package() { # the package names of Depends, without versions or alternatives
  tr ',|' '\n\n' <<<"$depends" | awk '{ print $1 }' | grep -qxF -- "$1"
}
echo "Depends: $depends"
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libsdl2-2.0-0 \
           libsdl2-mixer-2.0-0 fonts-dejavu-core; do
  check "Depends names $dep" names_package "$dep"
done
# The package's own library must not be something it depends on.
check "Depends does not name the Scroller library" bash -c '! grep -qi scroller <<<"$1"' _ "$depends"
runs_ldconfig() { dpkg-deb --ctrl-tarfile "$deb" | tar -xO "./$1" 2>/dev/null | grep -q '^[^#]*ldconfig'; }
check "the package registers its library with the dynamic linker" runs_ldconfig postinst
check "the package unregisters its library" runs_ldconfig postrm

# --- file list ----------------------------------------------------------------------------------
dpkg-deb --contents "$deb" >"$out/contents.txt"
# One line per entry: its mode and its path ("-rwxr-xr-x /usr/bin/tavu").
awk '{ name = $6; sub(/^\.\//, "/", name); print $1, name }' "$out/contents.txt" >"$out/files.txt"
has() { # has MODE-PATTERN PATH
  grep -Eq "^$1 $(sed 's/[][\.*^$+?(){}|]/\\&/g' <<<"$2")( |$)" "$out/files.txt"
}
p=$prefix
check "$p/$bindir/tavu is an executable file" has '-rwxr-xr-x' "$p/$bindir/tavu"
check "$p/$libdir/tavu/tavu-windows.so is a file" has '-rw-r--r--' "$p/$libdir/tavu/tavu-windows.so"
check "$p/$libdir/libScroller.so.1.0.0 is a file" has '-rw-r--r--' "$p/$libdir/libScroller.so.1.0.0"
check "$p/$libdir/libScroller.so.1 is a link" has 'lrwxrwxrwx' "$p/$libdir/libScroller.so.1"
check "$p/$libdir/libScroller.so is a link" has 'lrwxrwxrwx' "$p/$libdir/libScroller.so"
for header in Scroller.h ControlFactory.h ScrollerExport.h; do
  check "$p/include/ribbonix/$header" has '-rw-r--r--' "$p/include/ribbonix/$header"
done
for sound in Click Menu Min Exit Intro; do
  check "$p/$datadir/tavu/Sounds/$sound.wav" has '-rw-r--r--' "$p/$datadir/tavu/Sounds/$sound.wav"
done
check "$p/$datadir/applications/tavu.desktop" has '-rw-r--r--' "$p/$datadir/applications/tavu.desktop"
check "$p/$datadir/metainfo/org.tavu.Tavu.metainfo.xml" \
  has '-rw-r--r--' "$p/$datadir/metainfo/org.tavu.Tavu.metainfo.xml"
check "$p/$datadir/icons/hicolor/scalable/apps/tavu.svg" \
  has '-rw-r--r--' "$p/$datadir/icons/hicolor/scalable/apps/tavu.svg"
for size in 16 32 48 64 128 256; do
  check "$p/$datadir/icons/hicolor/${size}x${size}/apps/tavu.png" \
    has '-rw-r--r--' "$p/$datadir/icons/hicolor/${size}x${size}/apps/tavu.png"
done
check "$p/$mandir/man1/tavu.1.gz" has '-rw-r--r--' "$p/$mandir/man1/tavu.1.gz"
check "$p/lib/systemd/user/tavu.service" has '-rw-r--r--' "$p/lib/systemd/user/tavu.service"
owned_by_root() { awk '$2 != "root/root" { bad = 1 } END { exit bad }' "$out/contents.txt"; }
check "every entry belongs to root" owned_by_root
under_prefix() { # every path is $p, lies under it, or is a directory on the way to it
  local mode path
  while read -r mode path; do
    path=${path%/}
    case "$path" in
      "$p" | "$p"/*) ;;
      *) [ "${mode:0:1}" = d ] && case "$p/" in "$path"/*) true ;; *) false ;; esac || { echo "outside: $path"; return 1; } ;;
    esac
  done <"$out/files.txt"
}
check "every entry lies under $p" under_prefix
# Nothing of the build or the tests goes along.
no_build_leftovers() { ! grep -E 'generate_sounds|_tests?$|bench|CMakeFiles|\.a$' "$out/files.txt"; }
check "no build helpers, tests or benchmarks in the package" no_build_leftovers

# --- the unpacked program -----------------------------------------------------------------------
root=$out/root
dpkg-deb --extract "$deb" "$root"
tavu=$root$p/$bindir/tavu
if [ ! -x "$tavu" ]; then
  fail "the unpacked package has $p/$bindir/tavu"
  echo
  echo "$passed passed, $failures failed"
  exit 1
fi
runpath=$(readelf -d "$tavu" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p; s/.*(RPATH).*\[\(.*\)\]/\1/p')
check "the run path is \$ORIGIN/../$libdir (was: $runpath)" test "$runpath" = "\$ORIGIN/../$libdir"
check "the program is stripped" bash -c '! readelf -S "$1" | grep -q "\.debug_info"' _ "$tavu"
# With no LD_LIBRARY_PATH and no build tree in the way, every library resolves, and the Scroller
# library is the one from the package.
env -i PATH=/usr/bin:/bin ldd "$tavu" >"$out/ldd.txt" 2>&1 || true
resolves_all() { ! grep "not found" "$out/ldd.txt" && grep -q "=>" "$out/ldd.txt"; }
if resolves_all; then pass "ldd resolves every library"; else fail "ldd resolves every library"; cat "$out/ldd.txt"; fi
# The windows are a module of their own, loaded only when they are shown: the program itself maps
# no GUI library, so that tavu --headless stays small.
check "the program does not link Qt's GUI libraries" bash -c '! grep -E "libQt6(Gui|Widgets)" "$1"' _ "$out/ldd.txt"
module=$root$p/$libdir/tavu/tavu-windows.so
env -i PATH=/usr/bin:/bin ldd "$module" >"$out/ldd.txt" 2>&1 || true
if resolves_all; then pass "ldd resolves every library of the windows"; else fail "ldd resolves every library of the windows"; cat "$out/ldd.txt"; fi
modpath=$(readelf -d "$module" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p; s/.*(RPATH).*\[\(.*\)\]/\1/p')
check "the windows' run path is \$ORIGIN/.. (was: $modpath)" test "$modpath" = "\$ORIGIN/.."
check "the windows are stripped" bash -c '! readelf -S "$1" | grep -q "\.debug_info"' _ "$module"
check "the program names where the windows are installed" grep -qa "$p/$libdir/tavu" "$tavu"
scroller=$(sed -n 's/^[[:space:]]*libScroller\.so\.1 => \(.*\) (0x.*/\1/p' "$out/ldd.txt")
check "libScroller.so.1 comes from the package (found: ${scroller:-nothing})" \
  test -n "$scroller" -a "$(realpath -m "$scroller")" = "$(realpath -m "$root$p/$libdir/libScroller.so.1")"
# The program was built to look for its installed sounds where the package puts them.
built_data_dir() { # every compile of the program saw this one data folder
  [ "$(grep -o 'TAVU_DATA_DIR=[^ ]*' "$build/compile_commands.json" | tr -d '\\"' | sort -u)" = "TAVU_DATA_DIR=$p/$datadir/tavu" ]
}
check "the program looks for sounds in $p/$datadir/tavu/Sounds" built_data_dir
version_line=$(env -i PATH=/usr/bin:/bin "$tavu" --version 2>&1) || true
check "tavu --version prints \"tavu $version\" (printed: $version_line)" test "$version_line" = "tavu $version"
help_text=$(env -i PATH=/usr/bin:/bin "$tavu" --help 2>&1) || true
check "tavu --help names --home, --no-intro and --headless" \
  bash -c 'grep -q -- "--home DIR" <<<"$1" && grep -q -- "--no-intro" <<<"$1" && grep -q -- "--headless" <<<"$1"' \
  _ "$help_text"

# --- icons --------------------------------------------------------------------------------------
png_size() { # "WIDTHxHEIGHT" from the header of a PNG file, nothing for another kind of file
  [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}
for size in 16 32 48 64 128 256; do
  png=$root$p/$datadir/icons/hicolor/${size}x${size}/apps/tavu.png
  [ -f "$png" ] || continue
  actual=$(png_size "$png")
  check "the ${size}x${size} icon is a ${size}x${size} PNG (is: ${actual:-not a PNG})" test "$actual" = "${size}x${size}"
done

# --- desktop entry ------------------------------------------------------------------------------
desktop=$root$p/$datadir/applications/tavu.desktop
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate accepts tavu.desktop" desktop-file-validate "$desktop"
else
  echo "skipped: desktop-file-validate is not installed (Debian package desktop-file-utils)"
fi
exec_cmd=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
check "the desktop entry starts the packaged program (Exec=$exec_cmd)" \
  has '-rwxr-xr-x' "$p/$bindir/$exec_cmd"
check "the desktop entry's icon is packaged (Icon=$icon)" \
  has '-rw-r--r--' "$p/$datadir/icons/hicolor/scalable/apps/$icon.svg"

# --- systemd user unit ---------------------------------------------------------------------------
unit=$root$p/lib/systemd/user/tavu.service
check "the user unit runs the packaged program without windows" \
  grep -qx "ExecStart=$p/$bindir/tavu --headless" "$unit"
if command -v systemd-analyze >/dev/null; then
  # The unit names the program where the package puts it; verify it against the unpacked copy.
  sed "s|^ExecStart=$p/$bindir/tavu|ExecStart=$tavu|" "$unit" >"$out/tavu.service"
  # The system manager reads the unit file the same way; its only complaint may be the manual
  # page of Documentation=, which is not installed here.
  systemd-analyze verify "$out/tavu.service" >"$out/unit-warnings.txt" 2>&1 || true
  check "systemd-analyze verifies the user unit" \
    bash -c '! grep -v "Command .man tavu(1). failed" "$1" | grep .' _ "$out/unit-warnings.txt"
  cat "$out/unit-warnings.txt"
else
  echo "skipped: systemd-analyze is not installed (Debian package systemd)"
fi

# --- AppStream metadata -------------------------------------------------------------------------
metainfo=$root$p/$datadir/metainfo/org.tavu.Tavu.metainfo.xml
if command -v appstreamcli >/dev/null; then
  check "appstreamcli validates the metadata" appstreamcli validate --no-net "$metainfo"
else
  echo "skipped: appstreamcli is not installed (Debian package appstream)"
fi
check "the metadata launches the packaged desktop entry" \
  grep -q '<launchable type="desktop-id">tavu.desktop</launchable>' "$metainfo"

# --- manual page --------------------------------------------------------------------------------
manpage=$root$p/$mandir/man1/tavu.1.gz
if command -v man >/dev/null; then
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$manpage" >"$out/man.txt" 2>"$out/man-warnings.txt" || true
  check "the manual page formats without warnings" bash -c '! grep . "$1"' _ "$out/man-warnings.txt"
  cat "$out/man-warnings.txt"
else
  zcat "$manpage" >"$out/man.txt"
  echo "skipped: man is not installed (Debian package man-db)"
fi
# Every option of --help is documented, and so are the program directory's files and settings.
for option in $(grep -oE -- '--[a-z][a-z-]+' <<<"$help_text" | sort -u); do
  check "the manual page documents $option" grep -q -- "$option" "$out/man.txt"
done
for word in Tavu.ini Styles.txt Sounds/ "\[Chat\]" "\[Updates\]" "Page URL" "Download URL" \
            Network Server Port TLS Nick Channel Password Owner Format "$p/$datadir/tavu/Sounds"; do
  check "the manual page mentions $word" grep -q -- "$word" "$out/man.txt"
done

echo
echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
