#!/bin/sh
# Runs a test program on a virtual X server of its own (the xcb platform, a real window system);
# exit code 77 tells CTest the test was skipped, with the reason on standard output.
if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "SKIPPED: xvfb-run is not installed (Debian package xvfb), so there is no X server" \
        "for the window test"
    exit 77
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME= "$@"
