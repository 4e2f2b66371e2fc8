#!/usr/bin/env bash
# Runs a command with its temporary files on a real SMB share, as a shop's NAS or Windows
# share is: a Samba server on the loopback address serves a folder made here, mounted
# through FUSE with smbnetfs (no kernel SMB client is needed). The command finds the
# mounted share in TMPDIR (and LEDORA_SHARE), so a test binary's temporary folders lie on
# it. On this mount hard links are refused, renames and exclusive creation work.
#   smb-share-test.sh COMMAND [ARGS...]
# Exit: the command's own, or 77 skipped (the reason is printed) where the server or the
# mount cannot start. Everything started here is stopped on exit; every wait has a deadline.
# The server and the mount run in sessions of their own: the server signals its whole
# process group when it stops.
set -u
[ $# -gt 0 ] || { echo "usage: smb-share-test.sh COMMAND [ARGS...]"; exit 2; }

skip() { echo "SKIP: $*"; exit 77; }
for tool in smbd smbclient smbnetfs fusermount; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps.sh installs it)"
done
[ -c /dev/fuse ] || skip "no /dev/fuse on this machine"
[ "$(id -u)" -eq 0 ] || skip "the Samba server needs root for port 445"

work=$(mktemp -d /tmp/ledora-smb.XXXXXX)
smbd_pid=""
netfs_pid=""
cleanup() {
    if mountpoint -q "$work/mnt" 2>/dev/null || grep -qs " $work/mnt " /proc/mounts; then
        fusermount -u "$work/mnt" 2>/dev/null || fusermount -uz "$work/mnt" 2>/dev/null
    fi
    [ -n "$netfs_pid" ] && kill "$netfs_pid" 2>/dev/null
    [ -n "$smbd_pid" ] && kill "$smbd_pid" 2>/dev/null && wait "$smbd_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

mkdir -p "$work"/{share,state,cache,lock,private,mnt,home/.smb}
chmod 777 "$work/share"
cat >"$work/smb.conf" <<CONF
[global]
   server role = standalone server
   interfaces = lo
   bind interfaces only = yes
   smb ports = 445
   disable netbios = yes
   map to guest = Bad User
   guest account = root
   server min protocol = SMB2
   state directory = $work/state
   cache directory = $work/cache
   lock directory = $work/lock
   private dir = $work/private
   pid directory = $work/state
   ncalrpc dir = $work/state/ncalrpc
   log file = $work/smbd.log
   load printers = no
   printing = bsd
   printcap name = /dev/null
[shop]
   path = $work/share
   read only = no
   guest ok = yes
   guest only = yes
   force user = root
CONF
setsid smbd -F --no-process-group -s "$work/smb.conf" >"$work/smbd.out" 2>&1 &
smbd_pid=$!
wait_for 100 smbclient -N //127.0.0.1/shop -s "$work/smb.conf" -c ls ||
    { sed 's/^/  smbd: /' "$work/smbd.out" "$work/smbd.log" 2>/dev/null | tail -20; skip "the Samba server did not answer on 127.0.0.1"; }

printf 'auth "127.0.0.1" "guest" ""\n' >"$work/home/.smb/smbnetfs.conf"
chmod 600 "$work/home/.smb/smbnetfs.conf"
: >"$work/home/.smb/smb.conf"
HOME="$work/home" setsid smbnetfs "$work/mnt" -f -o "config=$work/home/.smb/smbnetfs.conf" \
    >"$work/smbnetfs.out" 2>&1 &
netfs_pid=$!
share="$work/mnt/127.0.0.1/shop"
wait_for 150 test -d "$share" ||
    { sed 's/^/  smbnetfs: /' "$work/smbnetfs.out" | tail -20; skip "smbnetfs did not mount the share"; }
# The mount is the share only if a file made through it appears in the served folder.
echo probe >"$share/probe" && [ -f "$work/share/probe" ] ||
    skip "the mounted share does not reach the served folder"
rm -f "$share/probe"

echo "share: //127.0.0.1/shop mounted at $share"
TMPDIR="$share" LEDORA_SHARE="$share" "$@"
