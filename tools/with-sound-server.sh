#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command next to two private PulseAudio servers whose default outputs are null sinks,
# and stops them afterwards, whatever happens. The command finds the first through
# PULSE_SERVER and its sink's name in IDROVELA_SERVER_AUDIO (its monitor is "<name>.monitor"):
# the sound tests record it, so whatever else plays there must wait for them. The second,
# IDROVELA_SERVER_RUMORE, is for the tests that play without listening (the soaks), so that
# they can run next to the recordings.
# Exits with the command's status, or 1 when a server does not come up.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 command [argument...]" >&2; exit 64; }

runtimes=()
declare -A daemons=() # runtime folder -> the daemon's pid, read as soon as it answers
stop_servers() {
    local runtime
    for runtime in "${runtimes[@]}"; do
        # By the daemon's own pid file, or by the pid read at start if that file is gone.
        if ! XDG_RUNTIME_DIR=$runtime pulseaudio --kill >/dev/null 2>&1 \
                && [ -n "${daemons[$runtime]:-}" ]; then
            kill "${daemons[$runtime]}" 2>/dev/null || true
        fi
        # The daemon removes its socket as it leaves; wait for that, within a bound.
        for _ in $(seq 50); do
            [ -e "$runtime/pulse/native" ] || break
            sleep 0.1
        done
        rm -rf "$runtime"
    done
}
trap stop_servers EXIT

# Starts a server in a runtime folder of its own with this null sink as its default output, and
# puts its address in the variable named second once it answers.
start_server() {
    local sink=$1 runtime log
    runtime=$(mktemp -d)
    runtimes+=("$runtime")
    log=$runtime/pulseaudio.log
    # As root without a desktop session the daemon runs all the same; it only warns about it.
    if ! XDG_RUNTIME_DIR=$runtime pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
            --log-target=file:"$log" \
            --load="module-null-sink sink_name=$sink" \
            --load=module-native-protocol-unix 2>>"$log"; then
        echo "the private PulseAudio server does not start:" >&2
        cat "$log" >&2
        return 1
    fi
    local server=unix:$runtime/pulse/native
    for _ in $(seq 50); do
        if [ "$(PULSE_SERVER=$server pactl get-default-sink 2>/dev/null)" = "$sink" ]; then
            printf -v "$2" '%s' "$server"
            daemons[$runtime]=$(cat "$runtime/pulse/pid" 2>/dev/null || true)
            return 0
        fi
        sleep 0.1
    done
    echo "the private PulseAudio server does not answer, or has another default output:" >&2
    cat "$log" >&2
    return 1
}

PULSE_SERVER=
IDROVELA_SERVER_RUMORE=
start_server idrovela_null PULSE_SERVER || exit 1
start_server idrovela_rumore IDROVELA_SERVER_RUMORE || exit 1

export XDG_RUNTIME_DIR=${runtimes[0]}
export PULSE_SERVER IDROVELA_SERVER_RUMORE
export IDROVELA_SERVER_AUDIO=idrovela_null

status=0
"$@" || status=$?
exit $status
