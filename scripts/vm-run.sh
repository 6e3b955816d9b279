#!/usr/bin/env bash
# Runs a command as root in a small virtual machine that can run 32-bit programs (this machine's
# kernel cannot): Debian's own kernel under QEMU's software CPU, this machine's files read-only.
#
# Usage: scripts/vm-run.sh [-t SECONDS] [-o FOLDER] [-m MiB] COMMAND [ARG...]
#   -t  time limit for the whole run, boot included (default 900); past it the machine is stopped
#   -o  writable folder shared back for artefacts (default build/vm/out), at the same path inside
#   -m  the machine's memory (default 4096)
# Inside, the command runs in the current folder with this machine's root file system read-only,
# fresh tmpfs over /tmp, /root, /run, /var/tmp and /var/lib/xkb (this project's folder stays
# visible, wherever it is), and the folder of -o writable.
# The script exits with the command's exit status; 124 when the time limit stopped the machine,
# 2 when something it needs is missing. The kernel and the initramfs are made once from Debian's
# packages and kept in build/vm/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=$root/build/vm
seconds=900
out=$cache/out
memory=4096
while getopts "t:o:m:" option; do
    case $option in
    t) seconds=$OPTARG ;;
    o) out=$OPTARG ;;
    m) memory=$OPTARG ;;
    *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[ $# -gt 0 ] || { echo "vm-run: no command given" >&2; exit 2; }

missing() {
    echo "vm-run: $1 is missing; scripts/install-deps.sh installs it" >&2
    exit 2
}
command -v qemu-system-x86_64 >/dev/null || missing "qemu-system-x86_64 (package qemu-system-x86)"
command -v cpio >/dev/null || missing "cpio"
# The initramfs has no C library: only the static busybox runs there.
file -L /bin/busybox 2>/dev/null | grep -q 'statically linked' || missing "a static /bin/busybox (package busybox-static)"

# The kernel: the package that linux-image-amd64 points at, unpacked once.
kernelPackage=$(apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-/ {print $2; exit}')
[ -n "$kernelPackage" ] || missing "the package list entry of linux-image-amd64 (run apt-get update)"
kernelFolder=$cache/$kernelPackage
if [ ! -d "$kernelFolder/boot" ]; then
    mkdir -p "$cache/download"
    (cd "$cache/download" && apt-get download -q -o APT::Sandbox::User=root "$kernelPackage" >/dev/null) ||
        missing "the kernel package $kernelPackage (apt-get download failed)"
    rm -rf "$kernelFolder.part" && mkdir -p "$kernelFolder.part"
    dpkg-deb -x "$cache/download/${kernelPackage}"_*.deb "$kernelFolder.part"
    rm -f "$cache/download/${kernelPackage}"_*.deb
    mv "$kernelFolder.part" "$kernelFolder"
fi
kernel=$(ls "$kernelFolder"/boot/vmlinuz-*)
modules=$(ls -d "$kernelFolder"/lib/modules/*)

# The initramfs: busybox, the virtio and 9p modules (in the order they depend on each other) and
# the init below, which mounts this machine's root, runs the command there and stops the machine.
initramfs=$cache/initramfs-$kernelPackage.cpio.gz
if [ ! -f "$initramfs" ] || [ "$initramfs" -ot "$0" ]; then
    tree=$(mktemp -d)
    mkdir -p "$tree"/{bin,dev,proc,sys,newroot,modules}
    cp /bin/busybox "$tree/bin/busybox"
    for module in virtio_ring virtio virtio_pci_legacy_dev virtio_pci_modern_dev virtio_pci netfs \
        fscache 9pnet 9pnet_virtio 9p; do
        file=$(find "$modules" -name "$module.ko*" | head -n 1)
        [ -n "$file" ] || { echo "vm-run: module $module not in $kernelPackage" >&2; exit 2; }
        case $file in
        *.xz) xz -dc "$file" >"$tree/modules/$module.ko" ;;
        *.zst) zstd -qdc "$file" >"$tree/modules/$module.ko" ;;
        *) cp "$file" "$tree/modules/$module.ko" ;;
        esac
        echo "$module" >>"$tree/modules/order"
    done
    cat >"$tree/init" <<'EOF'
#!/bin/busybox sh
/bin/busybox --install -s /bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for module in $(cat /modules/order); do insmod "/modules/$module.ko"; done
for word in $(cat /proc/cmdline); do
    case $word in
    vmrun.script=*) script=${word#vmrun.script=} ;;
    vmrun.out=*) out=${word#vmrun.out=} ;;
    vmrun.project=*) project=${word#vmrun.project=} ;;
    esac
done
options=trans=virtio,version=9p2000.L,msize=512000
mount -t 9p -o "$options,ro,cache=loose" hostroot /newroot || { echo "vm: no root"; poweroff -f; }
# The project's folder stays visible when it lies under one of the folders made fresh below.
mkdir -p /project
mount --bind "/newroot$project" /project
for folder in /tmp /root /run /var/tmp /var/lib/xkb; do
    [ -d "/newroot$folder" ] && mount -t tmpfs -o mode=1777 tmpfs "/newroot$folder"
done
chmod 700 /newroot/root
mkdir -p "/newroot$project" 2>/dev/null
mount --move /project "/newroot$project"
mount -t proc proc /newroot/proc
mount -t sysfs sys /newroot/sys
mount -t devtmpfs dev /newroot/dev
mkdir -p /newroot/dev/pts /newroot/dev/shm
mount -t devpts devpts /newroot/dev/pts
mount -t tmpfs -o mode=1777 tmpfs /newroot/dev/shm
mkdir -p "/newroot$out" 2>/dev/null # a folder under /tmp is not in the fresh tmpfs
mount -t 9p -o "$options" out "/newroot$out" || { echo "vm: no output folder"; poweroff -f; }
chroot /newroot /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    TERM=dumb /bin/bash "$script"
echo $? >"/newroot$out/.vm-status"
sync
umount "/newroot$out"
poweroff -f
EOF
    chmod 755 "$tree/init"
    (cd "$tree" && find . | cpio -o -H newc --quiet | gzip -1) >"$initramfs.part"
    mv "$initramfs.part" "$initramfs"
    rm -rf "$tree"
fi

# The command, its folder and its arguments, written where the machine reads them.
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out/.vm-status"
script=$cache/command-$$.sh
{
    echo "cd $(printf %q "$(pwd)") || exit 125"
    printf '%q ' "$@"
    echo
} >"$script"
trap 'rm -f "$script"' EXIT

status=0
timeout -k 10 "$seconds" qemu-system-x86_64 -accel tcg,thread=multi -cpu qemu64 -smp "$(nproc)" \
    -m "$memory" -kernel "$kernel" -initrd "$initramfs" -no-reboot -nic none \
    -append "console=ttyS0 quiet loglevel=3 panic=-1 vmrun.script=$script vmrun.out=$out vmrun.project=$root" \
    -display none -monitor none -serial stdio \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -virtfs "local,path=$out,mount_tag=out,security_model=none,multidevs=remap" </dev/null ||
    status=$?
if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "vm-run: stopped the machine after the time limit of $seconds s" >&2
    exit 124
fi
if [ ! -f "$out/.vm-status" ]; then
    echo "vm-run: the machine stopped before the command ended (qemu status $status)" >&2
    exit 125
fi
exit "$(cat "$out/.vm-status")"
