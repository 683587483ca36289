# Makes the Wine prefix that every case copies: Wine's first start, once per
# test run, without the Mono and Gecko installers, and with Wine drawing the
# window frames itself (there is no window manager on the test display), so
# the screenshots show the caption bar. Runs under an X server of its own,
# which stays until Wine's last process has ended.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
if [ -z "${DEVOV_CASE_DISPLAY:-}" ]; then
  export DEVOV_CASE_DISPLAY=1
  exec timeout 180 xvfb-run -a bash "$0" "$@"
fi
base="$BUILD_DIR/wine/base"
if [ -f "$base/system.reg" ]; then
  WINEPREFIX="$base" wineserver -k 2>/dev/null || true
fi
rm -rf "$base"
mkdir -p "$base"
export WINEPREFIX="$base" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 120 wineboot --init
timeout 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
timeout 60 wineserver -w
test -f "$base/system.reg"
