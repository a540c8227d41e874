#!/usr/bin/env bash
# The Windows executable carries its manifest, aware of each monitor's
# display scaling, so that Windows does not stretch the window's pixels.
set -euo pipefail
manifest=$(tr -d '\r\n' <"$GAME" | grep -aoP '<assembly .*?</assembly>') ||
    { echo "FAIL: no manifest in $GAME" >&2; exit 1; }
for want in '<dpiAwareness[^>]*>PerMonitorV2' '<dpiAware[^>]*>true/pm'; do
    grep -q "$want" <<<"$manifest" || { echo "FAIL: the manifest lacks $want" >&2; exit 1; }
done
echo "ok: per-monitor DPI awareness in the manifest"
