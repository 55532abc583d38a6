# Sourced by shell tests that check a command gives up by itself on input made to keep it
# busy (a count of four thousand million, say).
#
#   cpu_bound SECONDS CMD...   run CMD with SECONDS of processor time at most, and two
#                              minutes of wall time for one that waits instead
#
# Processor time, unlike the clock, does not grow when the machine is busy with other work:
# a command that ends in a few milliseconds of it passes on a loaded machine, one that loops
# over the count is killed by the kernel on any.
cpu_bound() {
  local seconds=$1; shift
  ( ulimit -t "$seconds"; exec timeout 120 "$@" )
}
