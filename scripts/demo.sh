#!/usr/bin/env bash
# Main job: installs what is missing, builds the program, writes a sample store
# installation into ./demo-out and carries out one price conversion in the
# real window, as a user would (under Xvfb when there is no display). Prints
# prices before and after and saves screenshots in ./demo-out.
# With --interactive (and a display) the window is left to the user instead.
# TANKA_BUILD_DIR picks the build folder (default: build).
set -euo pipefail
interactive=0
[ "${1:-}" = "--interactive" ] && interactive=1
cd "$(dirname "$0")/.."

bash scripts/deps.sh

build_dir="${TANKA_BUILD_DIR:-build}"
if [ ! -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build_dir" --target tanka tanka-sample tanka-demo

out="$PWD/demo-out"
rm -rf "$out"
# The generator prints the environment that points the program at the sample.
while IFS= read -r line; do
  case "$line" in
    TANKA_DRIVE_C=* | TANKA_SQLITE_DIR=*) export "$line" ;;
  esac
done < <("$build_dir/bin/tanka-sample" "$out")
echo "サンプル店舗: TANKA_DRIVE_C=$TANKA_DRIVE_C TANKA_SQLITE_DIR=$TANKA_SQLITE_DIR"

if [ -n "${DISPLAY:-}" ] && [ "$interactive" = 1 ]; then
  "$build_dir/bin/tanka"
  exit 0
elif [ -n "${DISPLAY:-}" ]; then
  "$build_dir/bin/tanka-demo" "$out"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "$build_dir/bin/tanka-demo" "$out"
fi

echo "画面: $out/startup.png (起動時), $out/screenshot.png (選択後)"
echo "自分で操作するには、新しいサンプルを書いてから:"
echo "  $build_dir/bin/tanka-sample demo-out && TANKA_DRIVE_C=$TANKA_DRIVE_C TANKA_SQLITE_DIR=$TANKA_SQLITE_DIR $build_dir/bin/tanka"
