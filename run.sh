#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs ovdm with the arguments.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
ov_install_missing
ov_build build >&2
if [ $# -eq 0 ]; then
  exec build/cli/ovdm --help
fi
exec build/cli/ovdm "$@"
