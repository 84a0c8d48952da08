#!/bin/bash
# Runs a command on an X desktop of its own (Xvfb, 1920 x 1080, 24 bits).
#
#   on_xvfb.sh COMMAND...
#
# Exit: the command's; 77 when Xvfb is missing (skipped).
set -u
# shellcheck source=../support/x_desktop.sh
. "$(dirname "$0")/../support/x_desktop.sh"
start_xvfb || exit 1
"$@"
