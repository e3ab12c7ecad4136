#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vesperfall; "./run.sh lobby"
# starts the lobby server instead (further options go to the server).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
if [ "${1:-}" = lobby ]; then
    shift
    exec "$root/build/bin/vesperfall-lobby" --port 9876 "$@"
fi
exec "$root/build/bin/vesperfall"
