#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command next to a private PulseAudio server whose default output is a null sink, and
# stops the server afterwards, whatever happens. The command finds the server through
# PULSE_SERVER and the sink's name in IDROVELA_SERVER_AUDIO (its monitor is "<name>.monitor").
# Exits with the command's status, or 1 when the server does not come up.
set -euo pipefail
[ $# -gt 0 ] || { echo "usage: $0 command [argument...]" >&2; exit 64; }

runtime=$(mktemp -d)
sink=idrovela_null
log=$runtime/pulseaudio.log

daemon=
stop_server() {
    # By the daemon's own pid file, or by the pid read from it at start if that file is gone.
    if ! XDG_RUNTIME_DIR=$runtime pulseaudio --kill >/dev/null 2>&1 && [ -n "$daemon" ]; then
        kill "$daemon" 2>/dev/null || true
    fi
    # The daemon removes its socket as it leaves; wait for that, within a bound.
    for _ in $(seq 50); do
        [ -e "$runtime/pulse/native" ] || break
        sleep 0.1
    done
    rm -rf "$runtime"
}
trap stop_server EXIT

# As root without a desktop session the daemon runs all the same; it only warns about it.
if ! XDG_RUNTIME_DIR=$runtime pulseaudio --daemonize=yes --exit-idle-time=-1 -n \
        --log-target=file:"$log" \
        --load="module-null-sink sink_name=$sink" \
        --load=module-native-protocol-unix 2>>"$log"; then
    echo "the private PulseAudio server does not start:" >&2
    cat "$log" >&2
    exit 1
fi

export XDG_RUNTIME_DIR=$runtime
export PULSE_SERVER=unix:$runtime/pulse/native
export IDROVELA_SERVER_AUDIO=$sink
ready=no
for _ in $(seq 50); do
    if pactl info >/dev/null 2>&1; then
        ready=yes
        break
    fi
    sleep 0.1
done
daemon=$(cat "$runtime/pulse/pid" 2>/dev/null || true)
if [ $ready != yes ] || [ "$(pactl get-default-sink 2>/dev/null)" != "$sink" ]; then
    echo "the private PulseAudio server does not answer, or has another default output:" >&2
    cat "$log" >&2
    exit 1
fi

status=0
"$@" || status=$?
exit $status
