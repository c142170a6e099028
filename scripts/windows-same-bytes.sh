#!/usr/bin/env bash
# Runs one conversion with the Linux build and with the Windows build (under
# Wine) on two copies of one headquarters sample, and checks that both wrote
# the same bytes: the backups, the preview list of a dry run, and the price
# lines of the journal (its header names the computer, the user and the
# time, which differ). The sample holds names with characters outside code
# page 932 ("José", an emoji), so the replacement rule is compared too.
# Usage: bash scripts/windows-same-bytes.sh [WINDOWS_BUILD_DIR]
# (scripts/windows.sh calls it with its Wine wrapper in place.)
set -euo pipefail
cd "$(dirname "$0")/.."
win_build=${1:-build-windows}

if [ ! -x build/bin/tanka ] || [ ! -x build/bin/tanka-sample ]; then
  [ -f build/CMakeCache.txt ] || cmake --preset default >/dev/null
  cmake --build build --target tanka tanka-sample >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The generator prints where drive C: and the servers' folder are.
build/bin/tanka-sample --headquarters --stores 3 --rows 40 "$work/sample" >"$work/sample.env"
drive_rel=$(sed -n "s|^TANKA_DRIVE_C=$work/sample/||p" "$work/sample.env")
sqlite_rel=$(sed -n "s|^TANKA_SQLITE_DIR=$work/sample/||p" "$work/sample.env")
[ -n "$drive_rel" ] && [ -n "$sqlite_rel" ] || { cat "$work/sample.env"; exit 1; }
sqlite3 "$(find "$work/sample/$sqlite_rel" -name MSTORI.sqlite | head -n 1)" \
  "UPDATE MTGIJU SET GijutuName='カラー José' WHERE rowid = 1;
   UPDATE MTTENP SET TenpanName='シャンプー😀～' WHERE rowid = 2;"
cp -a "$work/sample" "$work/linux"
cp -a "$work/sample" "$work/windows"

options=(convert --technical 10 --retail excl --round half --unit 10)

# One side: a dry run's list, then the run; prints the journal's host path.
run_side() {
  local side=$1
  local drive=$work/$side/$drive_rel sqlite=$work/$side/$sqlite_rel
  if [ "$side" = linux ]; then
    TANKA_DRIVE_C=$drive TANKA_SQLITE_DIR=$sqlite XDG_RUNTIME_DIR=$work \
      build/bin/tanka "${options[@]}" --dry-run --out "$work/$side-preview.tsv" >/dev/null
    TANKA_DRIVE_C=$drive TANKA_SQLITE_DIR=$sqlite XDG_RUNTIME_DIR=$work \
      build/bin/tanka "${options[@]}" --yes >"$work/$side.out"
  else
    TANKA_DRIVE_C=$(winpath "$drive") TANKA_SQLITE_DIR=$(winpath "$sqlite") \
      "$win_build/wine-run.sh" "$win_build/bin/tanka.com" "${options[@]}" --dry-run \
      --out "$(winpath "$work/$side-preview.tsv")" >/dev/null 2> >(iconv -f CP932 -t UTF-8 >&2)
    TANKA_DRIVE_C=$(winpath "$drive") TANKA_SQLITE_DIR=$(winpath "$sqlite") \
      "$win_build/wine-run.sh" "$win_build/bin/tanka.com" "${options[@]}" --yes \
      2> >(iconv -f CP932 -t UTF-8 >&2) | iconv -f CP932 -t UTF-8 | tr -d '\r' >"$work/$side.out"
  fi
  find "$drive" -name '単価変更_*.TSV' | head -n 1
}

linux_journal=$(run_side linux)
windows_journal=$(run_side windows)
[ -n "$linux_journal" ] && [ -n "$windows_journal" ] || { echo "a run wrote no journal" >&2; exit 1; }

failed=0
same() {
  if cmp -s "$1" "$2"; then
    printf '  same bytes: %s (%s bytes)\n' "$3" "$(stat -c %s "$1")"
  else
    printf '  DIFFERENT: %s\n' "$3"
    cmp "$1" "$2" | head -n 3
    failed=1
  fi
}
echo "Linux build against Windows build under Wine:"
for backup in MTGIJU10%.CSV MTTENP10%.CSV; do
  same "$(find "$work/linux" -name "$backup")" "$(find "$work/windows" -name "$backup")" "backup $backup"
done
same "$work/linux-preview.tsv" "$work/windows-preview.tsv" "preview list"
# The journal from its first price line on (its header differs by design).
sed -n '/^MTGIJU\|^MTTENP/,$p' "$linux_journal" >"$work/linux-prices"
sed -n '/^MTGIJU\|^MTTENP/,$p' "$windows_journal" >"$work/windows-prices"
[ -s "$work/linux-prices" ] || { echo "no price lines in the journal" >&2; exit 1; }
same "$work/linux-prices" "$work/windows-prices" "journal price lines ($(wc -l <"$work/linux-prices") lines)"
exit $failed
