#!/bin/sh
# Mounts (or unmounts) a 4 MB disk for the full-disk tests of the volume
# formatter. Where the machine does not allow mounting, the tests skip.
dir=$2
case "$1" in
  mount)
    mkdir -p "$dir"
    mountpoint -q "$dir" || mount -t tmpfs -o size=4m qorafmt-small "$dir" 2>/dev/null || true
    ;;
  umount)
    mountpoint -q "$dir" && umount "$dir"
    rmdir "$dir" 2>/dev/null || true
    ;;
esac
exit 0
