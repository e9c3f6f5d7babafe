#!/bin/sh
# Validates the desktop entry, the AppStream metadata and the MIME type definition.
# Exit 77 (skipped) when none of the validators is installed.
desktop=$1 metainfo=$2 mime=$3
ran=0 failed=0
if command -v desktop-file-validate >/dev/null 2>&1; then
    ran=1
    echo "desktop-file-validate $desktop"
    desktop-file-validate "$desktop" || failed=1
fi
if command -v appstreamcli >/dev/null 2>&1; then
    ran=1
    echo "appstreamcli validate --no-net $metainfo"
    appstreamcli validate --no-net "$metainfo" || failed=1
fi
if command -v xmllint >/dev/null 2>&1; then
    echo "xmllint $mime"
    xmllint --noout "$mime" || failed=1
fi
if [ "$ran" = 0 ]; then
    echo "desktop-file-validate and appstreamcli are not installed: skipped"
    exit 77
fi
exit "$failed"
