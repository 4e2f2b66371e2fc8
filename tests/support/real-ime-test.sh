#!/usr/bin/env bash
# Text typed with a real Japanese input method reaches the program as typed: under Xvfb
# with ibus and the Anthy engine, the probe window is driven by xdotool in one scenario:
#   name    (the default) click the recipient's name on the page, type "yamada", convert
#           (山田), commit into the name editor, press Enter, and find the saved record
#           under や.
#   sender  open the sender dialog, type "sakura" onto its grid, commit with Enter, and
#           find line 1 (and the window's first sender line) beginning with さくら: the key
#           that opens the cell editor belongs to the composition.
#   tax     with the engine on (a preedit seen in the name editor), type "10" into the tax
#           box: it shows 10 and the rate is 10 %, as the number boxes take no input method.
#   save    open the name editor of a saved record, type "yamada" and convert, press
#           Ctrl+S: the file holds the name as the editor shows it; type more, close the
#           window with Alt+F4 and choose "save and exit": the file holds that too.
#   menu    type 10 into the tax box and press Ctrl+S; Alt+V, Up, Up, Enter opens the sender
#           dialog; type 8 and choose ファイル → 上書き保存 with Alt+F, S: each runs although
#           the tax box has the keys.
#   search  type "yamada" into the record list's search box and convert it: the grid shows
#           the one record of 山田 and counts 1件; a click on its row and Ctrl+Delete remove
#           it, and the saved file holds the other two.
#   complete  in a new record's name type "yamada" and convert it: the earlier customers
#           山田工務店 and 山田商店 are offered, newest first; Down, Down, Return chooses
#           山田商店 and Enter ends the edit: the saved record has that name, row, postcode,
#           address and telephone.
#   real-ime-test.sh PATH/TO/ledora_ime_probe [name|sender|tax|save|menu|search|complete]
# Exit 0 passed, 1 failed, 77 skipped (the reason is printed). Every wait has a deadline;
# everything started here is stopped by its process id on exit.
set -u
probe=${1:?usage: real-ime-test.sh PATH/TO/ledora_ime_probe [name|sender|tax]}
scenario=${2:-name}

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; [ -f "${work:-/nonexistent}/probe.out" ] && sed 's/^/  probe: /' "$work/probe.out"; exit 1; }

for tool in Xvfb openbox xprop xdotool ibus ibus-daemon dbus-launch gsettings; do
    command -v "$tool" >/dev/null 2>&1 || skip "$tool is not installed (scripts/install-deps.sh installs it)"
done
[ -f /usr/share/ibus/component/anthy.xml ] || skip "the ibus Anthy engine (ibus-anthy) is not installed"
[ -x "$probe" ] || fail "no probe program at $probe"
# The Anthy engine is a Python program of the distribution's own python3.
export PATH=/usr/bin:/bin:$PATH

work=$(mktemp -d)
xvfb_pid="" wm_pid="" daemon_pid="" probe_pid="" DBUS_SESSION_BUS_PID=""
cleanup() {
    # The daemon stops the engine and the helpers it started when asked to exit.
    [ -n "$daemon_pid" ] && kill -0 "$daemon_pid" 2>/dev/null && timeout 5 ibus exit >/dev/null 2>&1
    for pid in "$probe_pid" "$daemon_pid" "$wm_pid" "$DBUS_SESSION_BUS_PID" "$xvfb_pid"; do
        [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done
    for pid in "$probe_pid" "$daemon_pid" "$wm_pid" "$DBUS_SESSION_BUS_PID" "$xvfb_pid"; do
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
probe_said() { grep -qF -- "$1" "$work/probe.out"; }
# The probe says its window's id once it is on the screen.
probe_active() {
    local id
    read -r _ id < <(grep -m 1 "^WINDOW " "$work/probe.out")
    [ -n "$id" ] && [ "$(xdotool getactivewindow 2>/dev/null)" = "$id" ]
}
display_ready() { [ -s "$work/display" ]; }
# The window manager is up once it names its check window on the root.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }

# A display of its own, a window manager for focus and the close box, a session bus.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for 20 display_ready || skip "Xvfb did not start: $(tail -n 3 "$work/xvfb.log")"
export DISPLAY=":$(head -n 1 "$work/display")"
# Without it the scenarios run on until a key only it handles (Alt+F4) is lost: the
# probe's window is shown only once it manages the screen.
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for 30 wm_ready || skip "the window manager did not start: $(tail -n 3 "$work/openbox.log")"
# Settings and caches of this run stay in its folder; the bus (and the settings service
# it starts) must see the same folders, so they are set first.
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
eval "$(dbus-launch --sh-syntax)" || skip "dbus-launch could not start a session bus"
[ -n "$DBUS_SESSION_BUS_PID" ] || skip "dbus-launch gave no bus"

# Anthy starts in Latin mode (3), where keys pass unconverted; hiragana is 0.
gsettings set org.freedesktop.ibus.engine.anthy.common input-mode 0 2>/dev/null ||
    skip "cannot set Anthy's input mode through gsettings"
ibus write-cache >/dev/null 2>&1
ibus-daemon -r --xim --panel=disable >"$work/ibus.log" 2>&1 &
daemon_pid=$!
# "ibus engine NAME" fails while no input context has the focus, yet sets the engine.
take_anthy() { ibus engine anthy; [ "$(ibus engine 2>/dev/null)" = anthy ]; }
wait_for 30 take_anthy || skip "the ibus daemon did not take the Anthy engine: $(tail -n 3 "$work/ibus.log")"

# ASan's leak check is for our code, covered by the offscreen suite; the platform's
# input-method and X libraries keep their caches to the end.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" QT_QPA_PLATFORM=xcb QT_IM_MODULE=ibus \
    "$probe" "$work" "$scenario" >"$work/probe.out" 2>"$work/probe.err" &
probe_pid=$!

# Keys go to the window the probe's window manager made active.
focus_active() {
    local win
    win=$(xdotool getactivewindow 2>/dev/null || true)
    [ -n "$win" ] && xdotool windowfocus --sync "$win" 2>/dev/null
}
# click_at WORD: clicks where the probe said WORD X Y.
click_at() {
    local x y
    read -r _ x y < <(grep -m 1 "^$1 " "$work/probe.out")
    xdotool mousemove --sync "$x" "$y" click 1
}
# Opens the page's name editor with a click; its input context takes the engine anew.
open_name_editor() {
    wait_for 30 probe_said CLICK || fail "the probe's window never showed: $(tail -n 3 "$work/probe.err")"
    click_at CLICK
    wait_for 20 probe_said READY || fail "a click on the name did not open the name editor"
    wait_for 10 take_anthy || fail "ibus lost the Anthy engine"
    focus_active
}

# Types "yamada" into the focused editor, converts it to 山田 and commits it.
type_yamada() {
    xdotool type --delay 150 yamada
    wait_for 20 probe_said "PREEDIT やまだ" ||
        skip "the engine gave no kana preedit for \"yamada\" (input mode not hiragana?)"
    xdotool key space
    wait_for 20 probe_said "PREEDIT 山田" || fail "space did not convert やまだ to 山田"
    xdotool key Return
    wait_for 20 probe_said "COMMIT 山田" || fail "Return did not commit 山田"
}

case "$scenario" in
name)
    open_name_editor
    type_yamada
    xdotool key Return
    wait_for 30 probe_said "SAVED" || fail "Enter did not end the edit"

    line=$(grep -F SAVED "$work/probe.out")
    echo "$line"
    case "$line" in
    *"name=山田 cate=や reading=やまだ"*) echo "PASS: 山田 typed as yamada is filed under や" ;;
    *) fail "expected 山田 under や with the reading やまだ" ;;
    esac
    ;;
sender)
    wait_for 30 probe_said READY || fail "the sender dialog never took the focus: $(tail -n 3 "$work/probe.err")"
    wait_for 10 take_anthy || fail "ibus did not give the dialog's grid the Anthy engine"
    focus_active
    # Slow enough that each key is composed before the next arrives.
    xdotool type --delay 150 sakura
    probe_composed() { grep -q "^PREEDIT .*ら$" "$work/probe.out"; }
    wait_for 20 probe_composed ||
        skip "the engine gave no kana preedit for \"sakura\" (input mode not hiragana?)"
    # Anthy commits the preedit on Return.
    xdotool key Return
    wait_for 20 probe_said "LINE1 " || fail "Return did not commit the preedit into line 1"

    line=$(grep -m 1 "^LINE1 " "$work/probe.out")
    echo "$line"
    case "$line" in
    "LINE1 さくら"*" SENDER1 さくら"*) echo "PASS: sakura typed onto the sender grid gives さくら" ;;
    *) fail "expected line 1 and the first sender line to begin with さくら" ;;
    esac
    ;;
tax)
    # The engine is on and composing: a preedit in the name editor shows it.
    open_name_editor
    xdotool type --delay 80 a
    wait_for 20 probe_said "PREEDIT あ" ||
        skip "the engine gave no kana preedit for \"a\" (input mode not hiragana?)"
    xdotool key Escape
    click_at BOX
    wait_for 20 probe_said BOXFOCUS || fail "a click on the tax box did not give it the focus"
    focus_active
    # The box keeps control characters out, Ctrl+A among them: empty it key by key.
    xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 80 10
    if ! wait_for 20 probe_said "TAX 10 "; then
        # What the engine kept as a preedit comes out with Return.
        xdotool key Return
        wait_for 10 probe_said COMMIT || true
        fail "typing 10 into the tax box did not show 10"
    fi
    line=$(grep "^TAX " "$work/probe.out" | tail -n 1)
    echo "$line"
    case "$line" in
    "TAX 10 0.1") echo "PASS: 10 typed into the tax box with the engine on sets 10 %" ;;
    *) fail "expected the tax box to show 10 and the rate 0.1" ;;
    esac
    ;;
save)
    # Typed into the open name editor, then Ctrl+S: the file holds what the editor shows.
    open_name_editor
    type_yamada
    xdotool key ctrl+s
    wait_for 20 probe_said "FILE name=青木山田" || fail "Ctrl+S did not save the name being typed"
    # More typing, then the close box and 保存して終了.
    xdotool type --delay 150 tenn
    wait_for 20 probe_said "PREEDIT てん" || fail "the engine gave no preedit for \"ten\""
    xdotool key Return
    wait_for 20 probe_said "COMMIT てん" || fail "Return did not commit てん"
    # The window manager closes the window it made active.
    wait_for 20 probe_active || fail "the window manager never made the probe's window active"
    xdotool key alt+F4
    wait_for 20 probe_said CLOSE || fail "Alt+F4 did not ask the window to close"
    wait_for 30 probe_said "EXIT " || fail "the close box did not end the program"
    line=$(grep -m 1 "^EXIT " "$work/probe.out")
    echo "$line"
    case "$line" in
    "EXIT name=青木山田てん") echo "PASS: the name being typed is saved by Ctrl+S and by save and exit" ;;
    *) fail "expected the saved name 青木山田てん" ;;
    esac
    ;;
menu)
    wait_for 30 probe_said BOX || fail "the probe's window never showed: $(tail -n 3 "$work/probe.err")"
    click_at BOX
    wait_for 20 probe_said BOXFOCUS || fail "a click on the tax box did not give it the focus"
    focus_active
    # The box keeps control characters out: empty it key by key. The engine is off there.
    xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace
    xdotool type --delay 150 10
    xdotool key ctrl+s
    wait_for 20 probe_said "SAVED tax=0.1" || fail "Ctrl+S in the tax box did not save the typed rate"
    # 表示 → 差出編集ウィンドを表示, the item above the last, with the keys.
    xdotool key alt+v
    xdotool key --delay 150 Up Up Return
    wait_for 20 probe_said SENDERDIALOG || fail "Alt+V, Up, Up, Enter did not open the sender dialog"
    # The dialog closed; the tax box has the keys again. ファイル → 上書き保存 with the keys.
    wait_for 20 probe_said BOXFOCUS || true
    focus_active
    xdotool key End BackSpace BackSpace BackSpace 8
    xdotool key --delay 150 alt+f s
    wait_for 20 probe_said "SAVED tax=0.08" || fail "Alt+F, S in the tax box did not save"
    echo "PASS: Ctrl+S and menu items chosen with the keys run while the tax box has them"
    ;;
search)
    wait_for 30 probe_said BOX || fail "the probe's window never showed: $(tail -n 3 "$work/probe.err")"
    click_at BOX
    wait_for 20 probe_said READY || fail "a click on the search box did not give it the focus"
    wait_for 10 take_anthy || fail "ibus lost the Anthy engine"
    focus_active
    type_yamada
    wait_for 20 probe_said "SEARCH 山田 1件 山田商店" || fail "typing 山田 did not leave the one record of 山田"
    wait_for 10 probe_said ROW || fail "the probe did not say where the row lies"
    click_at ROW
    xdotool key ctrl+Delete
    wait_for 20 probe_said "SAVED" || fail "Ctrl+Delete on the row found did not delete a record"
    line=$(grep -m 1 "^SAVED " "$work/probe.out")
    echo "$line"
    case "$line" in
    "SAVED names=青木,田中") echo "PASS: the search found 山田商店, and the grid's delete removed it" ;;
    *) fail "expected the saved file to hold 青木 and 田中" ;;
    esac
    ;;
complete)
    open_name_editor
    type_yamada
    wait_for 20 probe_said "OFFERED 山田工務店,山田商店" || fail "the earlier customers were not offered newest first"
    xdotool key --delay 150 Down Down Return
    wait_for 20 probe_said "NAME 山田商店" || fail "Down, Down, Return did not choose 山田商店"
    xdotool key Return
    wait_for 30 probe_said "SAVED" || fail "Enter did not end the edit"
    line=$(grep -m 1 "^SAVED " "$work/probe.out")
    echo "$line"
    case "$line" in
    "SAVED name=山田商店 cate=や pcode=100-0001 addr=東京都千代田区 tel=03-1111") echo "PASS: the customer chosen from the list filled the new record" ;;
    *) fail "expected 山田商店 under や with its postcode, address and telephone" ;;
    esac
    ;;
*)
    fail "unknown scenario $scenario"
    ;;
esac
