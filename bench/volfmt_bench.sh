#!/usr/bin/env bash
# Creates volumes of 1 GB and 4 GB (or the sizes given, in MB) on the test
# drive D:, checks on the Linux side that every block is allocated, and
# compares the time with dd writing the same zeros with the same block size
# (1 MiB) to the same disk: the disk's own write speed is the limit. Both
# times include the sync that puts the data on the disk, so the page cache
# favours neither.
#   bench/volfmt_bench.sh [SIZE_MB...]
set -eu
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QORA_BUILD_DIR:-$root/build}
case "$build" in /*) ;; *) build=$root/$build ;; esac
"$root/scripts/build" volfmt_bench >/dev/null
dir=$build/drives/d/volbench
mkdir -p "$dir"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1024 4096)

# Seconds the command takes.
timed() {
  local t0 t1
  t0=$(date +%s.%N)
  "$@"
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

# One volume of $1 MB through the formatter: seconds including the sync.
format_once() {
  local mb=$1 vol=$dir/vol$1.dsm fmt_s rc size allocated
  rm -f "$vol"
  sync
  read -r _ fmt_s rc < <("$root/scripts/wine-run" volfmt_bench "$mb" "D:\\volbench\\vol$mb.dsm" | tr -d '\r')
  [ "$rc" = 0 ] || { echo "format of $mb MB failed with $rc" >&2; exit 1; }
  fmt_s=$(echo "$fmt_s + $(timed sync)" | bc -l)
  size=$(stat -c %s "$vol")
  allocated=$(( $(stat -c '%b * %B' "$vol") ))
  [ "$size" -eq $(( mb * 1048576 )) ] || { echo "vol$mb.dsm has $size bytes" >&2; exit 1; }
  [ "$allocated" -ge "$size" ] || { echo "vol$mb.dsm is sparse: $allocated of $size bytes" >&2; exit 1; }
  echo "  vol$mb.dsm: $size bytes, $allocated allocated; du: $(du -h --apparent-size "$vol" | cut -f1) apparent, $(du -h "$vol" | cut -f1) on disk" >&2
  rm -f "$vol"
  echo "$fmt_s"
}

# The same number of zero bytes through dd: seconds including the sync.
dd_once() {
  local mb=$1 s
  rm -f "$dir/dd$mb"
  sync
  s=$(timed dd if=/dev/zero of="$dir/dd$mb" bs=1M count="$mb" status=none)
  s=$(echo "$s + $(timed sync)" | bc -l)
  rm -f "$dir/dd$mb"
  echo "$s"
}

min() { echo "if ($1 < $2) $1 else $2" | bc -l; }

# A shared disk's write-back makes single runs noisy: each side runs twice,
# alternating, and the better time counts.
printf '%8s %10s %10s %8s\n' MB format_s dd_s ratio
for mb in "${sizes[@]}"; do
  d1=$(dd_once "$mb"); f1=$(format_once "$mb")
  f2=$(format_once "$mb"); d2=$(dd_once "$mb")
  fmt_s=$(min "$f1" "$f2")
  dd_s=$(min "$d1" "$d2")
  printf '%8s %10.3f %10.3f %8.2f\n' "$mb" "$fmt_s" "$dd_s" "$(echo "$fmt_s / $dd_s" | bc -l)"
done
rmdir "$dir" 2>/dev/null || true
