#!/usr/bin/env bash
# Runs the built program with the GTK backend on a virtual X display: the
# progress dialog (caption, size, place, keyboard, Cancel), the error box of a
# missing data file, and a spreadsheet run with Cancel during generation.
# Screenshots are kept in the artefact folder. Skips (exit 77) only when Xvfb
# cannot start.
set -u
bin="$1"
artefacts="$2"
examples="$3"
mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
work="$(mktemp -d)"
failures=0
xvfb=""
wm=""
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"
    exit 77
fi
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
if [ ! -s "$work/display" ]; then
    echo "SKIP: Xvfb cannot start"
    exit 77
fi
export DISPLAY=":$(head -n1 "$work/display")"
# A window manager draws the title bars with the program's icon, and a task bar.
wm=""
if command -v icewm >/dev/null; then
    HOME="$work" icewm >/dev/null 2>&1 &
    wm=$!
    sleep 1
else
    echo "NOTE: no window manager (icewm), so the screenshots show no title bars"
fi
export NO_AT_BRIDGE=1 TOLVANE_OPEN=0 TOLVANE_OUTPUT_DIR="$work/out"
unset TOLVANE_UI WAYLAND_DISPLAY
mkdir -p "$TOLVANE_OUTPUT_DIR"

# Waits up to 15 s for a visible window whose name matches, or until the
# process given as second argument has ended; prints the window's id.
find_window() {
    for _ in $(seq 150); do
        [ -z "${2:-}" ] || kill -0 "$2" 2>/dev/null || return 1
        local id
        id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits up to 30 s for the process to end; sets code to its exit code or "hung".
wait_exit() {
    for _ in $(seq 300); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$1" 2>/dev/null; then
        kill -KILL "$1"
        wait "$1" 2>/dev/null
        code="hung"
        return
    fi
    wait "$1"
    code=$?
}

# The button's centre in window pixels: control 2 at 81,47 size 50x14 dialog units.
cancel_x=$((81 * 6 / 4 + 50 * 6 / 8))
cancel_y=$((47 * 13 / 8 + 14 * 13 / 16))

# 1. The dialog: a data file that is a pipe nobody writes keeps the worker loading.
mkfifo "$work/waiting.xml"
TOLVANE_RECORD="$work/record1" "$bin" "$work/waiting.xml" 2>"$work/err1" &
pid=$!
if dialog="$(find_window '^Tolvane$')"; then
    sleep 0.5
    import -window root "$artefacts/dialog.png" 2>/dev/null || fail "no screenshot of the dialog"
    eval "$(xdotool getwindowgeometry --shell "$dialog")"
    [ "$WIDTH" -ge 300 ] && [ "$WIDTH" -le 400 ] || fail "dialog width $WIDTH, expected about 321"
    [ "$HEIGHT" -ge 100 ] && [ "$HEIGHT" -le 160 ] || fail "dialog height $HEIGHT, expected about 113"
    centre_x=$((X + WIDTH / 2))
    centre_y=$((Y + HEIGHT / 2))
    [ "$centre_x" -ge 480 ] && [ "$centre_x" -le 544 ] && [ "$centre_y" -ge 340 ] && [ "$centre_y" -le 430 ] ||
        fail "dialog not centred: centre at $centre_x,$centre_y"
    xdotool windowfocus --sync "$dialog" key Escape Return space 2>/dev/null
    sleep 0.5
    kill -0 "$pid" 2>/dev/null || fail "Esc or Enter closed the dialog"
    xdotool mousemove --window "$dialog" "$cancel_x" "$cancel_y" click 1
    wait_exit "$pid"
    [ "$code" = 0 ] || fail "Cancel before the generator: exit $code"
else
    fail "no dialog captioned Tolvane; stderr: $(cat "$work/err1")"
    kill -KILL "$pid" 2>/dev/null
fi
grep -q $'^create\tdialog:105/2\tCancel$' "$work/record1" || fail "record lacks the Cancel button"
grep -q $'^destroy\tdialog:105$' "$work/record1" || fail "Cancel did not close the dialog"
grep -q "Gtk-CRITICAL\|Gtk-WARNING" "$work/err1" && fail "GTK complained: $(cat "$work/err1")"

# The rest needs the worker; without it no data file is ever loaded.
TOLVANE_UI=record TOLVANE_RECORD="$work/probe" timeout 20 "$bin" "$work/missing.xml" >/dev/null 2>&1
if ! grep -q $'^box\t' "$work/probe"; then
    echo "NOTE: the worker is not built yet; the error box and generation checks did not run"
    exit "$failures"
fi

# 2. A missing data file: one error box in front, captioned Error, shown by the
# user-interface thread while the worker waits.
TOLVANE_RECORD="$work/record2" "$bin" "$work/missing.xml" 2>"$work/err2" &
pid=$!
if box="$(find_window '^Error$')"; then
    sleep 0.5
    import -window root "$artefacts/error-box.png" 2>/dev/null || fail "no screenshot of the error box"
    xdotool search --onlyvisible --name '^Tolvane$' >/dev/null || fail "the dialog is gone while the box is open"
    xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE || fail "the error box is not kept in front"
    xprop -id "$box" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR && fail "the error box has no task-bar entry"
    [ "$(xdotool getactivewindow)" = "$box" ] || fail "the error box is not the active window"
    xdotool windowfocus --sync "$box" key Return
    wait_exit "$pid"
    [ "$code" = 0 ] || fail "missing data file: exit $code"
else
    fail "no Error box; stderr: $(cat "$work/err2")"
    kill -KILL "$pid" 2>/dev/null
fi
[ "$(grep -c $'^box\t' "$work/record2")" = 1 ] || fail "expected exactly one box: $(cat "$work/record2")"
grep -q $'^box\t-\t0x00010010\tError\t' "$work/record2" || fail "box not an error box in front: $(cat "$work/record2")"

# The dialog stays responsive while the worker's box is open: Cancel (before
# any generator exists) ends the program at once.
"$bin" "$work/missing.xml" 2>"$work/err2b" &
pid=$!
if box="$(find_window '^Error$')" && dialog="$(find_window '^Tolvane$')"; then
    xdotool windowmove "$box" 0 0
    sleep 0.5
    xdotool mousemove --window "$dialog" "$cancel_x" "$cancel_y" click 1
    wait_exit "$pid"
    [ "$code" = 0 ] || fail "Cancel while the box is open: exit $code"
else
    fail "no box and dialog together; stderr: $(cat "$work/err2b")"
    kill -KILL "$pid" 2>/dev/null
fi

# 3. The example spreadsheet, then a larger one cancelled during generation.
if [ ! -f "$examples/sales.xml" ]; then
    echo "NOTE: no example spreadsheet data file in $examples"
    exit "$failures"
fi
sed "s|@EXAMPLES@|$examples|" "$examples/sales.xml" >"$work/sales.xml"
TOLVANE_RECORD="$work/record3" "$bin" "$work/sales.xml" >"$work/out3" 2>"$work/err3" &
pid=$!
if find_window "^Creating the sales workbook$" "$pid" >/dev/null; then
    import -window root "$artefacts/sales-dialog.png" 2>/dev/null
fi
wait_exit "$pid"
[ "$code" = 0 ] || fail "sales example: exit $code; $(cat "$work/err3")"
grep -q $'^text\tdialog:105\tCreating the sales workbook$' "$work/record3" || fail "caption not set from the data file"
grep -q $'^text\tdialog:105/2\tCancel$' "$work/record3" || fail "cancel text not set"
grep -q $'^text\tdialog:105/106\tFilling [^%]' "$work/record3" || fail "no PROGRESS text with the workbook name"

# 20 workbooks of 12,000 records each take a few seconds to build: Cancel
# comes while the first ones are built, so the rest are not.
/usr/bin/python3 - "$work/sales.xml" "$work/many.xml" <<'PY'
import re, sys
text = open(sys.argv[1], encoding="utf-8").read()
text = re.sub(r"<(\w+) NUMRECORDS='(\d+)'([^>]*)>((?:<v>.*?</v>)+)</\1>",
              lambda m: f"<{m.group(1)} NUMRECORDS='{int(m.group(2)) * 1000}'{m.group(3)}>{m.group(4) * 1000}</{m.group(1)}>",
              text)
block = re.search(r"<workbook>.*?</workbook>", text, re.S).group(0)
open(sys.argv[2], "w", encoding="utf-8").write(text.replace(block, block * 20))
PY
rm -f "$TOLVANE_OUTPUT_DIR"/*
TOLVANE_RECORD="$work/record4" "$bin" "$work/many.xml" >"$work/out4" 2>"$work/err4" &
pid=$!
if dialog="$(find_window '^Creating the sales workbook$')"; then
    for _ in $(seq 200); do
        grep -q $'^text\tdialog:105/106\tFilling' "$work/record4" && break
        sleep 0.05
    done
    import -window root "$artefacts/generating.png" 2>/dev/null
    xdotool mousemove --window "$dialog" "$cancel_x" "$cancel_y" click 1
else
    fail "no dialog for the 20 workbooks"
fi
wait_exit "$pid"
[ "$code" = 0 ] || fail "cancelled generation: exit $code; $(cat "$work/err4")"
shown="$(find "$TOLVANE_OUTPUT_DIR" -name '*.xlsx' | wc -l)"
echo "Cancel during generation: $shown of 20 workbooks built and shown"
[ "$shown" -ge 1 ] && [ "$shown" -lt 20 ] || fail "after Cancel during generation $shown of 20 workbooks were shown"

[ "$failures" -eq 0 ] && echo "all desktop checks passed"
exit "$failures"
