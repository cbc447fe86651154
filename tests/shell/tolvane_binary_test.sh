#!/usr/bin/env bash
# Runs the built program: usage, version answers, a data file path with "-v"
# inside it, and Ctrl+C on the progress dialog in the terminal.
set -u
bin="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expect_exit() {
    local want="$1"
    shift
    "$@" >"$work/out" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] || fail "$* exited $got, expected $want"
    [ ! -s "$work/out" ] || fail "$* wrote to standard output: $(cat "$work/out")"
}

# No data file: the usage box, exit code 0.
TOLVANE_UI=terminal expect_exit 0 "$bin"
[ "$(cat "$work/err")" = "Message: Usage: Tolvane <datafile>" ] || fail "usage message: $(cat "$work/err")"

# A display that cannot be opened: the terminal shows the box instead.
DISPLAY=:9999 TOLVANE_UI=gtk expect_exit 0 "$bin"
grep -q "^Message: Usage: Tolvane <datafile>$" "$work/err" || fail "no usage message without a display: $(cat "$work/err")"

# Version queries answer by exit code alone.
for version in 1.1.5 1.0 0.9 1.1.0; do
    TOLVANE_UI=terminal expect_exit 0 "$bin" -v "$version"
    [ ! -s "$work/err" ] || fail "-v $version printed: $(cat "$work/err")"
done
for version in 1.1.6 1.1 2.0 1.2.0 1; do
    TOLVANE_UI=terminal expect_exit 255 "$bin" -v "$version"
    [ ! -s "$work/err" ] || fail "-v $version printed: $(cat "$work/err")"
done

# A path with "-v" inside is a data file: the dialog appears. A pipe nobody
# writes keeps the loading worker waiting, so Cancel comes before the generator.
mkfifo "$work/data-v2.xml"
TOLVANE_UI=record TOLVANE_RECORD="$work/record" TOLVANE_RECORD_CANCEL=$'show\tdialog:105' \
    timeout 20 "$bin" "$work/data-v2.xml" >/dev/null 2>&1
code=$?
[ "$code" -eq 0 ] || fail "data-v2.xml run exited $code"
grep -q $'^create\tdialog:105\tTolvane$' "$work/record" || fail "no dialog for data-v2.xml: $(cat "$work/record")"
grep -q $'^destroy\tdialog:105$' "$work/record" || fail "Cancel did not close the dialog"

# The terminal shows the dialog; Ctrl+C presses Cancel and the program ends
# with 0. SIGTERM and SIGHUP end a run the same way.
for sig in INT TERM HUP; do
    rm -f "$work/wait.xml"
    mkfifo "$work/wait.xml"
    TOLVANE_UI=terminal "$bin" "$work/wait.xml" 2>"$work/terminal" &
    pid=$!
    for _ in $(seq 100); do
        grep -q "Tolvane | Progress | 0% | \[Cancel\]" "$work/terminal" && break
        sleep 0.1
    done
    grep -q "Tolvane | Progress | 0% | \[Cancel\]" "$work/terminal" || fail "dialog line missing: $(cat "$work/terminal")"
    kill -"$sig" "$pid"
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"
        fail "SIG$sig did not end the program"
    fi
    wait "$pid"
    code=$?
    [ "$code" -eq 0 ] || fail "SIG$sig run exited $code"
done

[ "$failures" -eq 0 ] && echo "all binary checks passed"
exit "$failures"
