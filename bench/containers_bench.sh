#!/bin/bash
# The list with checks with 20 processes in 5 Podman containers (4 each)
# against 20 processes on the host: its cost per container process against
# its cost per host process (goal: at most 2, by container_list_bench), and
# how often one run of proclens-cli list --verify reads each container's
# package database (goal: once, as strace sees it).
#   containers_bench.sh PROCLENS_CLI CONTAINER_LIST_BENCH [TURNS]
# The containers run busybox with an apk database, from storage in a folder of
# the run's own; everything the run made (containers, image, storage, cgroups,
# podman's folders under /run and /var/lib) is removed at the end.
set -u
cli=$1
list_bench=$2
turns=${3:-9}
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
for path in /var/lib/containers /var/lib/cni /run/containers /run/libpod /run/runc /run/netns /etc/cni/net.d/cni.lock; do
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
  grep -o " ${work}[^ ]*" /proc/self/mounts | sort -r | xargs -r -n1 umount -l 2>/dev/null
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

start_host_sleepers() {
  for _ in $(seq 20); do
    /bin/sleep 600 &
    host_sleepers+=($!)
  done
}

# Limits within the host's own, which runc may not raise.
limit() { [ "$1" = unlimited ] || [ "$1" -gt 1024 ] && echo 1024 || echo "$1"; }
limits="--ulimit nofile=$(limit "$(ulimit -Hn)"):$(limit "$(ulimit -Hn)") --ulimit nproc=$(limit "$(ulimit -Hu)"):$(limit "$(ulimit -Hu)")"
for n in 1 2 3 4 5; do
  # shellcheck disable=SC2086
  $podman run -d --network none $limits --name "proclens-bench-$n" "$image" \
    /bin/sh -c 'sleep 600 & sleep 600 & sleep 600 & exec sleep 600' >/dev/null || exit 1
done
sleep 1
start_host_sleepers
in_containers=$(for cgroup in /proc/[0-9]*/cgroup; do
  folder=${cgroup%/cgroup}
  grep -q 'libpod-[0-9a-f]' "$cgroup" 2>/dev/null && [ "$(cat "$folder/comm" 2>/dev/null)" = sleep ] && echo "${folder#/proc/}"
done | paste -sd,)
"$list_bench" --containers "$in_containers" --host "$(printf '%s\n' "${host_sleepers[@]}" | paste -sd,)" --turns "$turns"

# Which container's root each read of an apk database went through.
strace -f -qq -e trace=openat -o "$work/trace" "$cli" list --verify >/dev/null
reads=$(grep -v ' = -1' "$work/trace" | grep -o '/proc/[0-9]*/root/lib/apk/db/installed' |
  while read -r path; do
    pid=${path#/proc/}
    pid=${pid%%/*}
    grep -o 'libpod-[0-9a-f]\{12\}' "/proc/$pid/cgroup" | head -n1
  done | sort | uniq -c)

echo
echo "reads of each container's apk database in one run of proclens-cli list --verify (goal: 1 each):"
echo "${reads:-  none}"
