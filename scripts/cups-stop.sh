#!/usr/bin/env bash
# Undoes scripts/cups-start.sh: removes the queue it added and stops the scheduler it
# started; leaves alone whatever was there before.
set -uo pipefail
state=${LEDORA_CUPS_STATE:-/tmp/ledora-cups.state}
[ -f "$state" ] || exit 0
PATH="$PATH:/usr/sbin"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"
pid=$(sed -n 's/^pid=//p' "$state")
added=$(sed -n 's/^added=//p' "$state")

[ "$added" = 1 ] && $SUDO lpadmin -x LedoraPDF 2>/dev/null
if [ -n "$pid" ]; then
    $SUDO kill "$pid" 2>/dev/null
    for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
fi
rm -f "$state"
