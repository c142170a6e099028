#!/usr/bin/env bash
# The Windows x64 build, on Debian 12:
#   1. installs what it needs from Debian's packages (MinGW-w64, Wine, ...);
#   2. builds once, into a cache outside the repository, Qt's qtbase for
#      x86_64-w64-mingw32 from Debian's own qt6-base source package (the same
#      version as the host's Qt tools) and SQLite from Debian's sqlite3 source;
#   3. cross-builds tanka, the sample generator and the tests;
#   4. runs the tests under Wine (CTest with Wine as the emulator), in a
#      Japanese locale;
#   5. checks that the Windows and the Linux build write the same bytes
#      (backups, journal price lines, preview lists) on the same sample;
#   6. runs the demo under Wine on Xvfb and saves its screenshot;
#   7. writes dist/tanka-windows-x64.zip.
#
# Usage: bash scripts/windows.sh [--toolchain-only] [--no-tests] [--cached-only]
# --cached-only: when the cache holds no Qt for the current key, say so in one
# line and stop (CI uses it: building Qt takes about 40 minutes).
# TANKA_WINDOWS_CACHE names the cache (default /var/cache/tanka-windows).
# Each step prints its time.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

toolchain_only=0
run_tests=1
cached_only=0
for arg in "$@"; do
  case "$arg" in
    --toolchain-only) toolchain_only=1 ;;
    --no-tests) run_tests=0 ;;
    --cached-only) cached_only=1 ;;
    *) echo "usage: bash scripts/windows.sh [--toolchain-only] [--no-tests] [--cached-only]" >&2; exit 64 ;;
  esac
done

cache=${TANKA_WINDOWS_CACHE:-/var/cache/tanka-windows}
jobs=$(nproc)
script_start=$(date +%s)
step_start=$script_start

step() {
  local now
  now=$(date +%s)
  if [ -n "${step_name:-}" ]; then
    printf '== %s: %d s\n' "$step_name" $((now - step_start))
  fi
  step_name=$1
  step_start=$now
  printf '== %s ...\n' "$step_name"
}

sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"

if [ "$cached_only" = "1" ] && ! ls "$cache"/qt-*/.complete >/dev/null 2>&1; then
  echo "Windows build skipped: no cached Qt for Windows in $cache (bash scripts/windows.sh builds it)"
  exit 0
fi

# ---------------------------------------------------------------------------
step "Debian packages"
packages=(
  cmake ninja-build pkg-config dpkg-dev zip tcl
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 locales xvfb xauth fonts-ipafont-gothic
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgtest-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
bash scripts/deps.sh

# Source packages need a deb-src entry for the same suites as the binaries.
if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -q '^Sources$'; then
  echo "Adding a deb-src entry for Debian's main archive"
  $sudo_cmd tee /etc/apt/sources.list.d/tanka-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $sudo_cmd apt-get update -q
fi

# Wine's console prints Japanese only under a Japanese locale of the host.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "Generating the ja_JP.UTF-8 locale"
  $sudo_cmd sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  $sudo_cmd locale-gen >/dev/null
fi

# ---------------------------------------------------------------------------
# The cached target prefix: Qt and SQLite, keyed on their source versions and
# on everything below that decides how they are configured.
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
qt_upstream=${qt_version%%+*}
qt_flags=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_vulkan=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengl_dynamic=OFF -DFEATURE_dynamicgl=OFF
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF -DFEATURE_tabletevent=OFF
  -DFEATURE_icu=OFF -DFEATURE_testlib=ON
  -DFEATURE_sql=ON -DFEATURE_sql_odbc=ON -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=ON
  -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF -DFEATURE_sql_ibase=OFF
  -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF -DFEATURE_sql_mimer=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF
)
sqlite_version=$(apt-cache showsrc sqlite3 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -n 1)
key=$(printf '%s\n' "$qt_version" "$sqlite_version" "${qt_flags[@]}" \
      "$(cat cmake/mingw-w64-x86_64.cmake)" | sha256sum | cut -c1-12)
prefix=$cache/qt-$qt_upstream-mingw-$key
echo "Cached Qt and SQLite for Windows: $prefix"

if [ ! -f "$prefix/.complete" ] && [ "$cached_only" = "1" ]; then
  echo "Windows build skipped: no cached Qt for Windows at $prefix (bash scripts/windows.sh builds it)"
  exit 0
fi
if [ ! -f "$prefix/.complete" ]; then
  step "SQLite for Windows (Debian's sqlite3 $sqlite_version)"
  work=$cache/work
  $sudo_cmd rm -rf "$work" "$prefix"
  $sudo_cmd mkdir -p "$work" "$prefix"/{bin,lib,include}
  $sudo_cmd chown "$(id -u):$(id -g)" "$cache" "$work" "$prefix" "$prefix"/{bin,lib,include}
  (cd "$work" && apt-get source -q "sqlite3=$sqlite_version" >/dev/null)
  sqlite_src=$(find "$work" -maxdepth 1 -type d -name 'sqlite3-*' | head -n 1)
  mkdir -p "$work/sqlite-build"
  (cd "$work/sqlite-build" && "$sqlite_src/configure" >/dev/null && make sqlite3.c >/dev/null)
  # Qt's SQLite driver reads column metadata; the defaults are those of
  # Debian's own libsqlite3 where they matter to the program.
  x86_64-w64-mingw32-gcc-posix -O2 -shared \
    -DSQLITE_ENABLE_COLUMN_METADATA -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS5 \
    -DSQLITE_API='__declspec(dllexport)' \
    -o "$prefix/bin/sqlite3.dll" "$work/sqlite-build/sqlite3.c" \
    -Wl,--out-implib,"$prefix/lib/libsqlite3.dll.a"
  cp "$work/sqlite-build/sqlite3.h" "$work/sqlite-build/sqlite3ext.h" "$prefix/include/" 2>/dev/null \
    || cp "$work/sqlite-build/sqlite3.h" "$sqlite_src/src/sqlite3ext.h" "$prefix/include/"

  step "Qt $qt_version qtbase for Windows (about 35 minutes at -j2)"
  (cd "$work" && apt-get source -q "qt6-base=$qt_version" >/dev/null)
  qt_src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
  cmake -S "$qt_src" -B "$work/qt-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DSQLite3_INCLUDE_DIR="$prefix/include" -DSQLite3_LIBRARY="$prefix/lib/libsqlite3.dll.a" \
    "${qt_flags[@]}" >"$work/qt-configure.log"
  cmake --build "$work/qt-build" --parallel "$jobs" >"$work/qt-build.log" 2>&1 \
    || { tail -n 40 "$work/qt-build.log"; exit 1; }
  cmake --install "$work/qt-build" >/dev/null
  touch "$prefix/.complete"
  rm -rf "$work"
fi
echo "Cached prefix: $prefix ($(du -sh "$prefix" | cut -f1))"
[ "$toolchain_only" = "1" ] && { step "done"; exit 0; }

# ---------------------------------------------------------------------------
step "Wine prefix (Windows 10)"
export WINEPREFIX=$cache/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono or Gecko download prompts
wine=/usr/lib/wine/wine64
if [ ! -f "$WINEPREFIX/.tanka-ready" ]; then
  $sudo_cmd mkdir -p "$cache"
  $sudo_cmd chown "$(id -u):$(id -g)" "$cache"
  WINEARCH=win64 /usr/lib/wine/wineboot -i >/dev/null 2>&1 || WINEARCH=win64 "$wine" wineboot -i >/dev/null 2>&1
  "$wine" winecfg -v win10 >/dev/null 2>&1
  /usr/lib/wine/wineserver -w || true
  touch "$WINEPREFIX/.tanka-ready"
fi
echo "Wine prefix: $WINEPREFIX ($("$wine" --version))"

# Windows paths of host folders, for Wine's search path.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
mingw_gcc_dir=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
mingw_dlls=(
  "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)"
  "$(x86_64-w64-mingw32-g++-posix -print-file-name=libgcc_s_seh-1.dll)"
  "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)"
)
wine_path="$(winpath "$prefix/bin")"
for dll in "${mingw_dlls[@]}"; do
  [ -f "$dll" ] || { echo "missing MinGW runtime: $dll" >&2; exit 1; }
  wine_path+=";$(winpath "$(dirname "$dll")")"
done

# ---------------------------------------------------------------------------
step "Cross-build of tanka, the sample generator and the tests"
build=$repo/build-windows
mkdir -p "$build"
# CTest runs every .exe through this: the Wine prefix, the DLLs' folders, a
# Japanese locale (code page 932), and Qt's variables passed the way Wine
# passes them (it drops QT_* but renames WINEQT_* to QT_*).
cat >"$build/wine-run.sh" <<WRAP
#!/usr/bin/env bash
export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
export WINEPATH='$wine_path'
export WINEQT_PLUGIN_PATH='$(winpath "$prefix/plugins")'
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
[ -n "\${QT_QPA_PLATFORM:-}" ] && export WINEQT_QPA_PLATFORM="\$QT_QPA_PLATFORM"
exec $wine "\$@"
WRAP
chmod +x "$build/wine-run.sh"
export TANKA_WINDOWS_QT=$prefix
cmake --preset windows -DCMAKE_CROSSCOMPILING_EMULATOR="$build/wine-run.sh" >"$build/configure.log" \
  || { cat "$build/configure.log"; exit 1; }
cmake --build --preset windows

if [ "$run_tests" = "1" ]; then
  step "Tests under Wine"
  linux_tests=$(ctest --test-dir build -N 2>/dev/null | sed -n 's/^Total Tests: //p' || true)
  set +e
  (cd "$build" && ctest --output-on-failure -j "$jobs" --timeout 600) | tee "$build/ctest.log"
  tests_status=${PIPESTATUS[0]}
  set -e
  echo "Tests under Wine: $(sed -n 's/.*tests passed, //p' "$build/ctest.log" | tail -n 1)"
  [ -n "$linux_tests" ] && echo "Tests registered on Linux (build/): $linux_tests"
  [ "$tests_status" = "0" ] || { echo "Tests under Wine failed" >&2; exit 1; }
fi

# ---------------------------------------------------------------------------
step "Same bytes from both builds"
bash scripts/windows-same-bytes.sh "$build"

step "Demo under Wine"
# A sample installation written by the Windows sample generator, its
# environment printed as Windows paths.
new_sample() {
  rm -rf "$1"
  mapfile -t sample_env < <("$build/wine-run.sh" "$build/bin/tanka-sample.exe" "$(winpath "$1")" | tr -d '\r')
  for line in "${sample_env[@]}"; do
    case "$line" in TANKA_DRIVE_C=* | TANKA_SQLITE_DIR=*) export "${line?}" ;; esac
  done
}
# The whole demo, a run through the window with its boxes answered, on the
# offscreen platform (under Wine it has no Japanese font, so no pictures).
demo_out=$repo/demo-out-windows
new_sample "$demo_out"
# (The demo prints its own lines in UTF-8.)
QT_QPA_PLATFORM=offscreen "$build/wine-run.sh" "$build/bin/tanka-demo.exe" "$(winpath "$demo_out")" \
  2>&1 | tr -d '\r' >"$demo_out.log" || true
grep -aq 'デモ完了' "$demo_out.log" || { cat "$demo_out.log"; echo "the demo run under Wine failed" >&2; exit 1; }
echo "Demo run under Wine: $(grep -a 'デモ' "$demo_out.log")"
# The window as Windows draws it, on Xvfb: the pictures up to Execute (Wine
# without a window manager never closes a dialog, so the run is not played here).
new_sample "$demo_out"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/wine-run.sh" "$build/bin/tanka-demo.exe" \
  "$(winpath "$demo_out")" --pictures-only >"$demo_out.log" 2>&1 || { cat "$demo_out.log"; exit 1; }
unset TANKA_DRIVE_C TANKA_SQLITE_DIR
mkdir -p docs
cp "$demo_out/screenshot.png" docs/screenshot-windows.png
echo "Screenshot: docs/screenshot-windows.png"

# ---------------------------------------------------------------------------
step "Package"
stage=$build/package/tanka
rm -rf "$build/package" && mkdir -p "$stage"/{platforms,styles,sqldrivers,translations}
cp "$build/bin/tanka.exe" "$build/bin/tanka.com" "$build/bin/tanka-sample.exe" "$stage/"
for dll in Qt6Core Qt6Gui Qt6Widgets Qt6Sql; do cp "$prefix/bin/$dll.dll" "$stage/"; done
cp "$prefix/bin/sqlite3.dll" "${mingw_dlls[@]}" "$stage/"
cp "$prefix/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$prefix"/plugins/styles/*.dll "$stage/styles/" 2>/dev/null || true
cp "$prefix/plugins/sqldrivers/qsqlodbc.dll" "$prefix/plugins/sqldrivers/qsqlite.dll" "$stage/sqldrivers/"
cp /usr/share/qt6/translations/qtbase_ja.qm "$stage/translations/"
# The how-to in code page 932 with CR LF, as Notepad of any Windows reads it.
sed 's/$/\r/' scripts/windows-readme-ja.txt | iconv -f UTF-8 -t CP932 >"$stage/使い方.txt"
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/tanka.com "$stage"/*.dll "$stage"/*/*.dll
mkdir -p dist
rm -f dist/tanka-windows-x64.zip
(cd "$build/package" && zip -qr -9 "$repo/dist/tanka-windows-x64.zip" tanka)
echo "Package: dist/tanka-windows-x64.zip ($(du -h dist/tanka-windows-x64.zip | cut -f1))"

step "done"
printf 'Whole run: %d s\n' $(($(date +%s) - script_start))
