#!/usr/bin/env bash
# Takes the window picture on a virtual X display (real fonts and styles rather than the offscreen
# platform) and copies it to docs/screenshot.png. Run after building ScreenshotTest in build/.
set -euo pipefail
cd "$(dirname "$0")/../.."
xvfb-run -a -s "-screen 0 1280x800x24" env QT_QPA_PLATFORM=xcb TZ=UTC LC_ALL=C.UTF-8 build/bin/ScreenshotTest
mkdir -p docs
cp build/screenshot.png docs/screenshot.png
echo "docs/screenshot.png updated"
