# Sourced by the whole-program tests whose subject is not the first start: a settings store
# whose options turn the start-up tips off, so no tip of the day stands in front of the window.
gs_store_without_tips() {  # gs_store_without_tips GSPROBE STORE
  GLYPHSCOPE_REGISTRY=$2 "$1" options save >/dev/null &&
    sqlite3 "$2" "UPDATE reg_values SET data = 0 WHERE name_fold = 'showtips'" ||
    { echo "FAIL: no store with the tips off"; exit 1; }
}
