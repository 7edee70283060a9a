#!/usr/bin/env bash
# Installs what is missing, builds into build/ and runs ovdm:
#   ./run.sh                  converts a copy of examples/1099-NEC_EXTRACT.txt in a scratch folder
#   ./run.sh EXTRACT          ovdm convert EXTRACT
#   ./run.sh SUBCOMMAND ...   ovdm SUBCOMMAND ... (forms, fields, template, convert, check)
#   ./run.sh --OPTION ...     ovdm --OPTION ... (--help, --version)
#   ./run.sh --gui [EXTRACT]  the desktop program OV2021DM
set -euo pipefail
caller=$PWD
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"
source scripts/setup.sh
ov_install_missing
ov_build build >&2
cd "$caller"
ovdm=$root/build/cli/ovdm
if [ $# -eq 0 ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/ovdm-example.XXXXXX")
  cp "$root/examples/1099-NEC_EXTRACT.txt" "$scratch/"
  exec "$ovdm" convert "$scratch/1099-NEC_EXTRACT.txt"
fi
case "$1" in
  --gui) shift; exec "$root/build/app/OV2021DM" "$@" ;;
  forms|fields|template|convert|check|-*) exec "$ovdm" "$@" ;;
esac
exec "$ovdm" convert -- "$@"
