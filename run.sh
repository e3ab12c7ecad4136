#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vesperfall.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
exec "$root/build/bin/vesperfall"
