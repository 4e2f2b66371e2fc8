#!/usr/bin/env bash
# A data file another PC holds opens read-only in the real program on a real display: a
# copy of the program whose settings beside it name the data file as the last one opened
# starts under Xvfb; the file's folder holds a fresh lock of another host. The program
# must show its message box (captioned with the program's name; the text, who holds the
# file and since when, cannot be read from outside: the offscreen window tests check it),
# and once Enter has closed the box, its main window with 読み取り専用 and the file's name
# in the title, leaving the file and the other host's lock as they were.
#   real-shared-file-test.sh PATH/TO/ledora
# With LEDORA_SCREENSHOT=FILE.png set, the screen is saved there once the window shows.
# Exit 0 passed, 1 failed, 77 skipped (the reason is printed). Every wait has a deadline;
# everything started here is stopped by its process id on exit.
set -u
program=${1:?usage: real-shared-file-test.sh PATH/TO/ledora}

skip() { echo "SKIP: $*"; exit 77; }
fail() {
    echo "FAIL: $*"
    [ -s "${work:-/nonexistent}/ledora.err" ] && sed 's/^/  ledora: /' "$work/ledora.err" | tail -n 20
    exit 1
}

for tool in Xvfb openbox xprop xdotool; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps.sh installs it)"
done
[ -x "$program" ] || fail "no program at $program"

work=$(mktemp -d)
xvfb_pid="" wm_pid="" ledora_pid=""
cleanup() {
    for pid in "$ledora_pid" "$wm_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "$ledora_pid" "$wm_pid" "$xvfb_pid"; do
        [ -n "$pid" ] && { timeout 5 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -9 "$pid" 2>/dev/null; }
    done
    rm -rf "$work"
}
trap cleanup EXIT

# wait_for SECONDS COMMAND...: polls until the command succeeds; false at the deadline.
wait_for() {
    local deadline=$((SECONDS + $1)); shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.2
    done
}
display_ready() { [ -s "$work/display" ]; }
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 display_ready || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 30 wm_ready || skip "the window manager did not start: $(tail -n 3 "$work/openbox.log")"

# The settings file is the one beside the program, when its folder is writable; the
# single-instance socket and any other settings stay in this run's folder, so a copy of
# the program running elsewhere on the machine is not asked instead.
mkdir -p "$work/app" "$work/shared" "$work/config" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
cp "$program" "$work/app/ledora"
data="$work/shared/shop.xml"
printf '[history]\r\nhistory1=%s\r\n' "$data" >"$work/app/ledora.ini"
cat >"$data" <<'EOF'
<?xml version="1.0" standalone="yes"?>
<DATAPACKET Version="2.0"><METADATA><FIELDS>
<FIELD attrname="cate" fieldtype="string" WIDTH="10"/>
<FIELD attrname="name" fieldtype="string" WIDTH="40"/>
<FIELD attrname="num" fieldtype="i4"/>
<FIELD attrname="sday" fieldtype="dateTime"/>
<FIELD attrname="day" fieldtype="dateTime"/>
<FIELD attrname="pcode" fieldtype="string" WIDTH="20"/>
<FIELD attrname="addr" fieldtype="string" WIDTH="128"/>
<FIELD attrname="tel" fieldtype="string" WIDTH="20"/>
<FIELD attrname="lineheight" fieldtype="i4"/>
<FIELD attrname="Sum" fieldtype="bin.hex" SUBTYPE="Text"/>
<FIELD attrname="other" fieldtype="bin.hex" SUBTYPE="Text"/>
<FIELD attrname="memo" fieldtype="bin.hex" SUBTYPE="Text"/>
<FIELD attrname="honorifics" fieldtype="string" WIDTH="10"/>
<FIELD attrname="linecount" fieldtype="i4"/>
<FIELD attrname="line1" fieldtype="i4"/>
<FIELD attrname="line2" fieldtype="i4"/>
<FIELD attrname="line3" fieldtype="i4"/>
<FIELD attrname="line4" fieldtype="i4"/>
<FIELD attrname="line5" fieldtype="i4"/>
<FIELD attrname="SalesTax" fieldtype="r8"/>
</FIELDS><PARAMS DEFAULT_ORDER=""/></METADATA>
<ROWDATA><ROW name="Aoki" num="1" sday="20261201T10:00:00000" day="20261201T10:00:00000"/></ROWDATA>
</DATAPACKET>
EOF
cp "$data" "$work/shop.before"

# Another PC's lock, written just now: the file is in use there.
export TZ=UTC
now=$(date +%s)
stamp=$(date -d "@$now" +%Y-%m-%dT%H:%M:%S.000+00:00)
lock="$work/shared/.~lock.shop.xml#"
printf 'ledora-lock 1\nuser=hanako\nhost=counter-pc\npid=4242\nopened=%s\nrefreshed=%s\n' \
    "$stamp" "$stamp" >"$lock"
cp "$lock" "$work/lock.before"

XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" QT_QPA_PLATFORM=xcb LANG=C.UTF-8 \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
    "$work/app/ledora" >"$work/ledora.out" 2>"$work/ledora.err" &
ledora_pid=$!

# The program's windows on the screen whose name matches the pattern.
windows_named() { xdotool search --onlyvisible --pid "$ledora_pid" --name "$1" 2>/dev/null; }
message_box() { windows_named '^Ledora$'; }
message_gone() { ! message_box; }
# xdotool's patterns are not sure to take UTF-8: the names are compared here.
read_only_window() {
    local win
    for win in $(windows_named .); do
        xdotool getwindowname "$win" | grep -qF 読み取り専用 && { echo "$win"; return 0; }
    done
    return 1
}

wait_for 30 message_box || fail "no message box captioned Ledora showed at the start"
box=$(message_box | head -n 1)
[ -n "${LEDORA_SCREENSHOT:-}" ] && import -window root "${LEDORA_SCREENSHOT%.png}-message.png"

# Enter goes to the box only once the window manager has made it active; on a busy
# machine that may take more than one try.
enter_on_box() {
    xdotool windowactivate --sync "$box" 2>/dev/null
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$box" ] && xdotool key Return
    message_gone
}
wait_for 20 enter_on_box || fail "Enter did not close the message box"
wait_for 30 read_only_window || fail "the main window's title did not say 読み取り専用"
title=$(xdotool getwindowname "$(read_only_window | head -n 1)")
echo "title: $title"
case "$title" in
*shop.xml*) ;;
*) fail "the title does not name the file: $title" ;;
esac
[ -n "${LEDORA_SCREENSHOT:-}" ] && import -window root "$LEDORA_SCREENSHOT"

cmp -s "$data" "$work/shop.before" || fail "the data file opened read-only was changed"
cmp -s "$lock" "$work/lock.before" || fail "the other host's lock was replaced"
echo "PASS: a file another PC holds opens read-only with the holder named"
