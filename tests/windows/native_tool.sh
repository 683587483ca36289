# Makes sure the native 6271devov-tool that the Wine cases make their
# virtual hosts with is there: TOOL is its path, SOURCE the source tree.
# The tool of the tree's own native build is built when it is missing; a
# tool named elsewhere must exist.
set -uo pipefail
TOOL=$1
SOURCE=$2
[ -x "$TOOL" ] && exit 0
if [ "$TOOL" != "$SOURCE/build/linux/6271devov-tool" ]; then
  echo "no 6271devov-tool at $TOOL" >&2
  exit 1
fi
cd "$SOURCE" || exit 1
cmake --preset linux >/dev/null || exit 1
cmake --build --preset linux --target devov_tool || exit 1
[ -x "$TOOL" ]
