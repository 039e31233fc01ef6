#!/bin/bash
# Installs Nexolan into a temporary prefix and starts the installed program.
#
#   tst_install.sh CMAKE BUILD_DIR SOURCE_DIR
#
# 1. `cmake --install` into a temporary prefix puts the program and its server
#    list side by side in lib/nexolan, the launcher in bin, the desktop entry
#    and the icons; all are checked.
# 2. The launcher, found on the PATH and started from another directory, runs
#    the installed program on Qt's offscreen platform with a settings file of
#    its own (the launch counter already at 1, so no first-run notice). On
#    Linux start-up begins with the "Messenger API" error box, which nothing
#    answers offscreen: the program must still be running a few seconds later.
# 3. On a virtual X display (when xvfb-run and xdotool are there) the box is
#    answered with Enter: the program must then count the launch, find its
#    server list beside itself and show the main window.
#
# Exit status 0 when all checks passed, 1 otherwise. Every wait is bounded.

set -u

if [ "${1:-}" = "--on-display" ]; then
    on_display=1
    shift
else
    on_display=0
fi

cmake=$1
build=$2
source=$3
title='^Nexolan - By Torvik$'

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
    local limit=$(( $1 * 10 )) n=0
    shift
    until "$@"; do
        n=$((n + 1))
        [ $n -ge $limit ] && return 1
        sleep 0.1
    done
}

# Starts the launcher from the PATH, from the root directory, with the
# temporary settings; sets $pid.
start_installed() {
    (cd / && PATH="$prefix/bin:$PATH" XDG_CONFIG_HOME="$tmp/config" XDG_RUNTIME_DIR="$tmp/runtime" \
        exec nexolan) &
    pid=$!
}

stop_installed() {
    if [ -n "${pid:-}" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        wait "$pid" 2>/dev/null
    fi
    pid=
}

counter() {
    sed -n 's/^Opened=//p' "$tmp/config/Nexolan/Nexolan.ini"
}

fresh_settings() {
    rm -rf "$tmp/config"
    mkdir -p "$tmp/config/Nexolan"
    printf '[Main]\nOpened=1\n' >"$tmp/config/Nexolan/Nexolan.ini"
}

is_installed_program() {
    [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" = "$prefix/lib/nexolan/nexolan" ]
}

# The main window: a visible window with the program's title and the main
# window's fixed width (the boxes have other widths).
main_window_shown() {
    local window
    for window in $(xdotool search --onlyvisible --name "$title" 2>/dev/null); do
        xdotool getwindowgeometry "$window" 2>/dev/null | grep -q 'Geometry: 481x' && return 0
    done
    return 1
}

if [ $on_display = 1 ]; then
    # Step 3, run by xvfb-run below with the same temporary directory.
    tmp=$4
    prefix=$tmp/prefix
    pid=
    trap stop_installed EXIT
    touch "$tmp/display-started"
    fresh_settings
    start_installed
    timeout 15 xdotool search --sync --onlyvisible --name "$title" >/dev/null ||
        fail "no window of the installed program appeared on the display"
    [ "$(counter)" = 1 ] || fail "the launch was counted before the error box was answered"
    xdotool key Return
    wait_for 15 main_window_shown || fail "the main window did not appear after the error box"
    [ "$(counter)" = 2 ] || fail "the launch counter is '$(counter)', not 2"
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    echo "on a virtual display: error box answered, launch counted, main window shown"
    exit 0
fi

tmp=$(mktemp -d)
prefix=$tmp/prefix
pid=
trap 'stop_installed; rm -rf "$tmp"' EXIT
mkdir -m 700 "$tmp/runtime"

# 1. The installation.
"$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || {
    cat "$tmp/install.log" >&2
    fail "cmake --install failed"
}
[ -x "$prefix/bin/nexolan" ] || fail "no launcher bin/nexolan"
[ -x "$prefix/lib/nexolan/nexolan" ] || fail "no program lib/nexolan/nexolan"
cmp -s "$prefix/lib/nexolan/nexolan.dat" "$source/data/nexolan.dat" ||
    fail "lib/nexolan/nexolan.dat is not the bundled server list"
desktop=$prefix/share/applications/nexolan.desktop
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx 'Exec=nexolan' "$desktop" || fail "the desktop entry does not start the launcher"
grep -qx 'Icon=nexolan' "$desktop" || fail "the desktop entry does not name the icon"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "the desktop entry is not valid"
fi
for icon in 16x16/apps/nexolan.png 32x32/apps/nexolan.png scalable/apps/nexolan.svg; do
    [ -s "$prefix/share/icons/hicolor/$icon" ] || fail "no icon $icon"
done
echo "installed: launcher, program, server list, desktop entry, icons"

# 2. The installed program, offscreen.
fresh_settings
QT_QPA_PLATFORM=offscreen start_installed
wait_for 10 is_installed_program || fail "the launcher did not start lib/nexolan/nexolan"
sleep 2
kill -0 "$pid" 2>/dev/null || {
    wait "$pid"
    fail "the installed program ended at start-up (exit status $?)"
}
kill -TERM "$pid"
wait "$pid"
status=$?
pid=
[ $status = 143 ] || fail "the installed program ended with status $status, not by the signal"
echo "offscreen: the launcher started the installed program, which was still running after 2 s"

# 3. The installed program on a virtual display.
if ! command -v xvfb-run >/dev/null || ! command -v xdotool >/dev/null; then
    echo "xvfb-run or xdotool missing: the start-up on a display was not checked"
    exit 0
fi
# xvfb-run -a can lose the race for a display number to another test.
for attempt in 1 2 3; do
    rm -f "$tmp/display-started"
    env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" \
        bash "$0" --on-display "$cmake" "$build" "$source" "$tmp"
    status=$?
    [ -e "$tmp/display-started" ] && exit $status
    echo "the virtual display did not start (attempt $attempt)"
done
fail "no virtual display"
