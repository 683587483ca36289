# Removes the prepared prefix after the test run; what failed cases left in
# wine/cases stays for a look.
set -euo pipefail
BUILD_DIR=$(cd "$1" && pwd)
rm -rf "$BUILD_DIR/wine/base"
