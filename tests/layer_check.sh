#!/usr/bin/env bash
# The layer check of the test command: the real tree passes, and a tree with includes and links
# planted against the order fails, naming each: upward, beside on one line, Qt in the core, in
# every include form (quoted or angled, from the root or relative to the file) and as a link.
set -u
WORK=$2
check=$GS_SOURCE_DIR/scripts/check_layers.py
python3 "$check" "$GS_SOURCE_DIR" || { echo "FAIL: the tree itself breaks the layer order"; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK" || exit 1
mkdir -p platform iconlib codecs/ui crypto export app/core app/ui toolbar/core toolbar/ui framework/core
plant() { printf '%s\n' "$2" > "$1"; }
plant platform/Low.h '#include <vector>'
plant iconlib/Icon.h '#include "platform/Low.h"'           # downward: fine
plant app/ui/Window.cpp '#include "app/core/Listing.h"'   # downward: fine
plant codecs/ui/Draw.cpp '#include <QImage>'              # Qt in a ui folder: fine
plant codecs/Gif.cpp '#include "codecs/ui/Draw.h"'        # planted: upward into the ui
plant crypto/Hash.cpp '#include "iconlib/Icon.h"'         # planted: beside, on one line
plant export/Tiff.cpp '  #  include <QtCore/QString>'      # planted: Qt in the core
plant app/core/Listing.h '#include "app/ui/Window.h"'     # planted: upward
plant export/ImageFormats.h '#include "Tiff.h"'             # beside itself: fine
plant iconlib/Angled.cpp '#include <export/ImageFormats.h>'  # planted: angled, upward
plant iconlib/Relative.cpp '#include "../export/ImageFormats.h"'  # planted: relative, upward
plant toolbar/core/Dots.cpp '#include "../../app/core/Listing.h"'  # planted: relative from deeper
plant toolbar/ui/Back.cpp '#include "../core/Dots.h"'      # relative, downward: fine
plant iconlib/CMakeLists.txt 'add_library(gs_iconlib STATIC Icon.h)
target_link_libraries(gs_iconlib PUBLIC gs_platform PNG::PNG)'                   # downward: fine
plant export/CMakeLists.txt 'add_library(gs_export STATIC Tiff.cpp)
target_link_libraries(gs_export
  PUBLIC gs_iconlib   # fine
  PRIVATE gs_app_core)'                                    # planted: a link upward, over lines
plant framework/core/CMakeLists.txt 'add_library(gs_framework_core STATIC X.cpp)
target_link_libraries(gs_framework_core PUBLIC gs_iconlib Qt6::Core)'  # planted: Qt in the core
plant app/core/CMakeLists.txt 'add_library(gs_app_core STATIC Listing.h)'
plant platform/CMakeLists.txt 'add_library(gs_platform STATIC Low.h)'
out=$(python3 "$check" "$WORK"); status=$?
echo "$out"
[ $status = 1 ] || { echo "FAIL: the planted includes passed (status $status)"; exit 1; }
failures=0
for want in "codecs/Gif.cpp:1: codecs includes codecs/ui/Draw.h" "crypto/Hash.cpp:1: crypto includes iconlib/Icon.h" \
            "export/Tiff.cpp:1: export is core and includes Qt's <QtCore/QString>" "app/core/Listing.h:1: app/core includes app/ui/Window.h" \
            "iconlib/Angled.cpp:1: iconlib includes export/ImageFormats.h of export" \
            "iconlib/Relative.cpp:1: iconlib includes ../export/ImageFormats.h of export" \
            "toolbar/core/Dots.cpp:1: toolbar/core includes ../../app/core/Listing.h of app/core" \
            "export/CMakeLists.txt:2: gs_export of export links gs_app_core of app/core, a layer above it" \
            "framework/core/CMakeLists.txt:2: gs_framework_core of framework/core is core and links Qt's Qt6::Core"; do
  grep -qF "$want" <<<"$out" || { echo "FAIL: not reported: $want"; failures=$((failures + 1)); }
done
[ "$(grep -c ': ' <<<"$out")" = 9 ] || { echo "FAIL: a sound include was reported"; failures=$((failures + 1)); }
exit $failures
