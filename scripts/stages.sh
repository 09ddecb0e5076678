# Sourced by scripts/test.sh and .ci/run: the steps of a run as named stages,
# each timed, and a table of their times at the end.
#   stage NAME COMMAND...        runs COMMAND
#   stage_start NAME COMMAND...  runs COMMAND alongside what follows, its
#                                output kept in build/logs/NAME.log
#   stage_wait NAME              waits for it, then shows its output; fails
#                                as it failed
#   stage_times                  the table, from the first stage on
# The times go to build/stage-times.txt (ORVAN_STAGE_TIMES), shared by a run
# and the scripts it calls.
export ORVAN_STAGE_TIMES=${ORVAN_STAGE_TIMES:-$PWD/build/stage-times.txt}
mkdir -p "$(dirname "$ORVAN_STAGE_TIMES")" build/logs
declare -A orvan_stage_pids=()

stage() {
    local name=$1 start=$SECONDS status=0
    shift
    echo "== $name"
    "$@" || status=$?
    printf '%-34s %6d s%s\n' "$name" $((SECONDS - start)) "$([ "$status" -eq 0 ] || echo "   FAILED ($status)")" \
        >>"$ORVAN_STAGE_TIMES"
    return "$status"
}

stage_start() {
    local name=$1
    shift
    # Its own process group, so that a run that stops early takes it along.
    setsid bash -c "$(declare -f stage); stage \"\$@\"" stage "$name" "$@" >"build/logs/$name.log" 2>&1 &
    orvan_stage_pids[$name]=$!
    echo "== $name: started alongside (build/logs/$name.log)"
}

stage_wait() {
    local name=$1 status=0
    wait "${orvan_stage_pids[$name]}" || status=$?
    unset "orvan_stage_pids[$name]"
    echo "== $name: output"
    cat "build/logs/$name.log"
    return "$status"
}

# Ends what still runs alongside: called when a run stops early.
stage_stop_all() {
    local pid
    for pid in "${orvan_stage_pids[@]}"; do kill -TERM -- "-$pid" 2>/dev/null || true; done
}

stage_times() {
    echo "== stage times"
    cat "$ORVAN_STAGE_TIMES" 2>/dev/null || true
}
