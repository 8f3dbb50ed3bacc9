#!/bin/bash
# The browser build in a real browser: builds build-web/ and plays it through in
# Debian's headless Chromium (tests/web/run.mjs: intro, sound, magazine, a click,
# Page Down, the end). No browser, node or npm fails the step; it never skips.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/debian-packages.sh
started=$SECONDS
if ! mag_install_packages chromium || [ ! -x /usr/bin/chromium ]; then
  echo "FAILED: the web tests need Debian's chromium (apt-get install chromium)"
  exit 1
fi
for tool in node npm; do
  if ! command -v "$tool" >/dev/null; then
    echo "FAILED: the web tests need $tool (apt-get install nodejs npm)"
    exit 1
  fi
done

./scripts/build-web.sh
# The references: magcapture's frames, the renderers' sound (the normal build has them).
cmake --build build -j"${MAG_JOBS:-2}" --target magcapture xmrender sidrender >/dev/null
# puppeteer-core drives the browser that is installed; it never downloads one.
(cd tests/web && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
node tests/web/run.mjs
echo "web: done in $((SECONDS - started)) s"
