#!/usr/bin/env bash
# The desktop entry, the software-centre description and the manual pages are
# accepted by the tools that read them.
set -euo pipefail
desktop-file-validate "$1/ui/tarnwick.desktop"
appstreamcli validate --no-net "$1/ui/de.korvane.Tarnwick.metainfo.xml"
# -k: the pages are UTF-8; -ww: every warning, which then fails the test.
for page in cli/doc/tarnwick-cli.1 ui/tarnwick.1 ui/crashreport/reporter/tarnwick-crashreport.1; do
  warnings=$(LC_ALL=C.UTF-8 groff -k -man -Tutf8 -ww -z "$1/$page" 2>&1)
  [ -z "$warnings" ] || { echo "$page: $warnings"; exit 1; }
done
zsh -n "$1/cli/completion/_tarnwick-cli"
