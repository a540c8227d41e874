#!/usr/bin/env bash
# Runs one end-to-end test script against the Windows build: like the Linux
# tests (lib.sh starts a virtual X server of the test's own), with the game
# started through scripts/wine-run. Wine's server is ended afterwards, so that no Wine
# process outlives the test or carries the dead display into the next one.
#   session.sh SCRIPT
set -uo pipefail
bash "$1"
rc=$?
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
exit $rc
