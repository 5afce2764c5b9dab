#!/bin/bash
# proclens-cli list --verify with 20 processes in 5 Podman containers (4
# each) against 20 processes on the host: the list's time per container
# process against its time per host process (goal: at most 2), and how often
# each container's package database is read (goal: once).
#   containers_bench.sh PROCLENS_CLI [TURNS]
# The containers run busybox with an apk database, from storage in a folder of
# the run's own; everything the run made (containers, image, storage, cgroups,
# podman's folders under /run and /var/lib) is removed at the end.
set -u
cli=$1
turns=${2:-7}
if [ "$(id -u)" != 0 ] || ! command -v podman >/dev/null || [ ! -x /usr/sbin/runc ] || [ ! -x /bin/busybox ] ||
  ! command -v strace >/dev/null; then
  echo "containers bench: needs root, podman, runc, busybox-static and strace; not run"
  exit 0
fi
work=$(mktemp -d /tmp/proclens-containers-bench.XXXXXX)
image=localhost/proclens-bench:1
podman="podman --root $work/storage --runroot $work/run --tmpdir $work/tmp --runtime runc
  --runtime-flag root=$work/runc --cgroup-manager=cgroupfs --events-backend=file --storage-driver overlay"
leftovers=()
for path in /var/lib/containers /var/lib/cni /run/containers /run/libpod /run/runc /run/netns; do
  [ -e "$path" ] || leftovers+=("$path")
done
cgroups=()
for hierarchy in /sys/fs/cgroup /sys/fs/cgroup/*; do
  [ -e "$hierarchy/cgroup.procs" ] && [ ! -e "$hierarchy/libpod_parent" ] && cgroups+=("$hierarchy/libpod_parent")
done
host_sleepers=()

stop_host_sleepers() {
  [ ${#host_sleepers[@]} -gt 0 ] && kill "${host_sleepers[@]}" 2>/dev/null && wait "${host_sleepers[@]}" 2>/dev/null
  host_sleepers=()
}
cleanup() {
  stop_host_sleepers
  for n in 1 2 3 4 5; do $podman rm -f -t 0 "proclens-bench-$n" >/dev/null 2>&1; done
  $podman rmi -f "$image" >/dev/null 2>&1
  grep -o " $work[^ ]*" /proc/self/mounts | sort -r | xargs -r -n1 umount -l 2>/dev/null
  rm -rf "$work" "${leftovers[@]}"
  for cgroup in "${cgroups[@]}"; do [ -d "$cgroup" ] && find "$cgroup" -depth -type d -exec rmdir {} + 2>/dev/null; done
}
trap cleanup EXIT

# A root of busybox whose apk database lists it with its SHA-1.
root=$work/image-root
mkdir -p "$root/bin" "$root/lib/apk/db" "$root/tmp"
cp /bin/busybox "$root/bin/busybox"
for applet in sh sleep; do ln -s busybox "$root/bin/$applet"; done
printf 'P:busybox\nT:busybox\nm:Bench <b@example.org>\nF:bin\nR:busybox\nZ:Q1%s\n' \
  "$(openssl dgst -sha1 -binary /bin/busybox | base64)" >"$root/lib/apk/db/installed"
tar -C "$root" -cf "$work/image.tar" .
$podman import "$work/image.tar" "$image" >/dev/null || exit 1

list_ms() {  # the median of $turns runs of the list, in milliseconds
  for _ in $(seq "$turns"); do
    start=$(date +%s%N)
    "$cli" list --verify >/dev/null
    echo $((($(date +%s%N) - start) / 1000))
  done | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f\n", t[int((NR + 1) / 2)] / 1000 }'
}
start_host_sleepers() {
  for _ in $(seq 20); do
    /bin/sleep 600 &
    host_sleepers+=($!)
  done
}
# Each phase alternates the list without and with 20 more host processes.
measure_phase() {
  local bare=() more=()
  for _ in 1 2 3; do
    bare+=("$(list_ms)")
    start_host_sleepers
    more+=("$(list_ms)")
    stop_host_sleepers
  done
  printf '%s\n' "${bare[@]}" | sort -n | sed -n 2p
  printf '%s\n' "${more[@]}" | sort -n | sed -n 2p
}

read -r none none_host < <(measure_phase | paste -sd' ')
for n in 1 2 3 4 5; do
  $podman run -d --network none --name "proclens-bench-$n" "$image" \
    /bin/sh -c 'sleep 600 & sleep 600 & sleep 600 & exec sleep 600' >/dev/null || exit 1
done
sleep 1
read -r with with_host < <(measure_phase | paste -sd' ')

# Which container's root each read of an apk database went through.
strace -f -qq -e trace=openat -o "$work/trace" "$cli" list --verify >/dev/null
reads=$(grep -v ' = -1' "$work/trace" | grep -o '/proc/[0-9]*/root/lib/apk/db/installed' |
  while read -r path; do
    pid=${path#/proc/}
    pid=${pid%%/*}
    grep -o 'libpod-[0-9a-f]\{12\}' "/proc/$pid/cgroup" | head -n1
  done | sort | uniq -c)

awk -v none="$none" -v none_host="$none_host" -v with="$with" -v with_host="$with_host" 'BEGIN {
  host = ((none_host - none) + (with_host - with)) / 2 / 20
  container = (with - none) / 20
  printf "\nproclens-cli list --verify, median milliseconds\n"
  printf "  %-32s %8.1f    + 20 host processes %8.1f\n", "host alone", none, none_host
  printf "  %-32s %8.1f    + 20 host processes %8.1f\n", "with 5 containers x 4 processes", with, with_host
  printf "\nper process: host %.3f ms, container %.3f ms\n", host, container
  ratio = host > 0 ? container / host : 0
  printf "ratio container / host: %.2f   goal <= 2.00  %s\n", ratio, ratio <= 2 ? "PASS" : "MISS"
}'
echo
echo "reads of each container's apk database in one list (goal: 1 each):"
echo "${reads:-  none}"
