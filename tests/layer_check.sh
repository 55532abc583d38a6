#!/usr/bin/env bash
# The include check of the test command: the real tree passes, and a tree with an include
# planted against the order (upward, beside on one line, Qt in the core) fails, naming each.
set -u
WORK=$2
check=$GS_SOURCE_DIR/scripts/check_layers.py
python3 "$check" "$GS_SOURCE_DIR" || { echo "FAIL: the tree itself breaks the layer order"; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK" || exit 1
mkdir -p platform iconlib codecs/ui crypto export app/core app/ui
plant() { printf '%s\n' "$2" > "$1"; }
plant platform/Low.h '#include <vector>'
plant iconlib/Icon.h '#include "platform/Low.h"'           # downward: fine
plant app/ui/Window.cpp '#include "app/core/Listing.h"'   # downward: fine
plant codecs/ui/Draw.cpp '#include <QImage>'              # Qt in a ui folder: fine
plant codecs/Gif.cpp '#include "codecs/ui/Draw.h"'        # planted: upward into the ui
plant crypto/Hash.cpp '#include "iconlib/Icon.h"'         # planted: beside, on one line
plant export/Tiff.cpp '  #  include <QtCore/QString>'      # planted: Qt in the core
plant app/core/Listing.h '#include "app/ui/Window.h"'     # planted: upward
out=$(python3 "$check" "$WORK"); status=$?
echo "$out"
[ $status = 1 ] || { echo "FAIL: the planted includes passed (status $status)"; exit 1; }
failures=0
for want in "codecs/Gif.cpp:1: codecs includes codecs/ui/Draw.h" "crypto/Hash.cpp:1: crypto includes iconlib/Icon.h" \
            "export/Tiff.cpp:1: export is core and includes Qt's <QtCore/QString>" "app/core/Listing.h:1: app/core includes app/ui/Window.h"; do
  grep -qF "$want" <<<"$out" || { echo "FAIL: not reported: $want"; failures=$((failures + 1)); }
done
[ "$(grep -c ': ' <<<"$out")" = 4 ] || { echo "FAIL: a sound include was reported"; failures=$((failures + 1)); }
exit $failures
