#!/usr/bin/env bash
# Gives the test run a real print queue: starts the CUPS scheduler if none is running
# and adds the queue LedoraPDF, which writes each job as a PDF file through cups-pdf.
# Installs nothing. scripts/cups-stop.sh undoes exactly what this script did.
# Never fails the run: without CUPS the print-queue test skips itself.
set -uo pipefail
state=${LEDORA_CUPS_STATE:-/tmp/ledora-cups.state}
queue=LedoraPDF
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo -n"

for tool in cupsd lpadmin lpinfo lpstat; do
    command -v "$tool" >/dev/null 2>&1 || PATH="$PATH:/usr/sbin"
    command -v "$tool" >/dev/null 2>&1 || { echo "cups-start: $tool not found, no print queue"; exit 0; }
done

# Started before and not stopped yet: leave the record of what to undo as it is.
if [ -f "$state" ] && lpstat -r 2>/dev/null | grep -q "is running"; then
    echo "cups-start: already set up ($state)"
    exit 0
fi

running() { lpstat -r 2>/dev/null | grep -q "is running"; }

pid=""
if ! running; then
    $SUDO cupsd -f >/tmp/ledora-cupsd.log 2>&1 &
    pid=$!
    for _ in $(seq 1 50); do running && break; sleep 0.2; done
    if ! running; then
        echo "cups-start: the CUPS scheduler did not start (see /tmp/ledora-cupsd.log)"
        kill "$pid" 2>/dev/null
        exit 0
    fi
fi

added=0
if ! lpstat -p "$queue" >/dev/null 2>&1; then
    ppd=$(lpinfo -m 2>/dev/null | awk 'tolower($0) ~ /cups-pdf/ { print $1; exit }')
    if [ -z "$ppd" ]; then
        echo "cups-start: no cups-pdf driver listed by lpinfo -m, no print queue"
    elif $SUDO lpadmin -p "$queue" -E -v cups-pdf:/ -m "$ppd" 2>/tmp/ledora-lpadmin.log; then
        added=1
    else
        echo "cups-start: lpadmin could not add $queue: $(cat /tmp/ledora-lpadmin.log)"
    fi
fi

printf 'pid=%s\nadded=%s\n' "$pid" "$added" >"$state"
if [ -n "$pid" ]; then how="started (pid $pid)"; else how="already running"; fi
echo "cups-start: scheduler $how; queue $queue $([ "$added" = 1 ] && echo added || echo untouched)"
