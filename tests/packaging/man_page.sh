#!/usr/bin/env bash
# The installed (gzipped) man page renders with every groff warning enabled and none reported, and
# its header carries the project's version.
. "$(dirname "$0")/lib.sh"
page=$1
version=$2
title=${3:-QUORVAN}
require groff
source=$(gzip -dc "$page")
# groff reports warnings on stderr but still exits 0: any output at all is the failure.
warnings=$(groff -ww -z -man <<<"$source" 2>&1)
if [ -n "$warnings" ]; then
  echo "$warnings"
  exit 1
fi
if ! grep -q "^\.TH $title 1 .*\"Quorvan $version\"" <<<"$source"; then
  echo "header does not name version $version: $(grep '^\.TH' <<<"$source")"
  exit 1
fi
