#!/usr/bin/env bash
# Kills `orvental-cli translate --update-external` with SIGKILL at 20 moments spread over a
# save of the large generated plugin and checks after each kill that the target is either its
# old bytes or the complete new file, and the external database either old or new: a save
# never leaves a half-written file, whenever it is stopped. Ten kills are spread over the whole
# run; ten wait for the first temporary file to appear and are spread over the time the
# temporary files existed in an uninterrupted run, so that they land in the write whatever the
# machine's speed.
#
#   kill_test.sh ORVENTAL_CLI ORV_MAKE_LARGE
set -euo pipefail

cli=$1
make_large=$2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "kill_test: $*" >&2
    exit 1
}

program="$scratch/program"
"$make_large" "$program"
target="$program/target.esp"
external="$program/dataextra/Extradata.dat"
temporaries=("$program/.target.esp.orvental-tmp" "$program/dataextra/.Extradata.dat.orvental-tmp")
# The old target is the untranslated plugin itself, as when a user saves over the file they
# opened.
cp "$program/Large.esp" "$scratch/old_target"
cp "$external" "$scratch/old_external"

reset_files() {
    cp "$scratch/old_target" "$target"
    cp "$scratch/old_external" "$external"
    # Each run starts from the same database: the memory the previous run wrote would
    # translate the edited names at Open, and its save would rebuild another external
    # database.
    rm -f "$program/dataextra/Memory.tsv"
    rm -f "${temporaries[@]}"
}

start_translate() {
    "$cli" --program-dir "$program" translate "$program/Large.esp" -o "$target" \
        --edits "$program/edits.tsv" --update-external >/dev/null &
    pid=$!
}

# The time in microseconds, read without starting a process (the decimal sign follows the
# locale), so that polling and waiting stay precise to well under a millisecond.
now_us() {
    now=${EPOCHREALTIME/[.,]/}
}
# Waits until `now_us` reaches $1 or process $pid ends, without sleeping between checks.
wait_until() {
    now_us
    while ((now < $1)) && kill -0 "$pid" 2>/dev/null; do
        now_us
    done
}

any_temporary() {
    [[ -e ${temporaries[0]} || -e ${temporaries[1]} ]]
}

# Two uninterrupted runs: the first warms the caches and gives the new files, the second is
# timed, noting when the temporary files appear and when the last one is renamed away.
reset_files
start_translate
wait "$pid" || fail "the uninterrupted run failed"
cp "$target" "$scratch/new_target"
cp "$external" "$scratch/new_external"
cmp -s "$scratch/new_target" "$scratch/old_target" && fail "the save did not change the target"
cmp -s "$scratch/new_external" "$scratch/old_external" &&
    fail "the save did not change the external database"

reset_files
now_us
begin=$now
start_translate
write_begins=
write_ends=
while kill -0 "$pid" 2>/dev/null; do
    if [[ -z $write_begins ]] && any_temporary; then
        now_us
        write_begins=$((now - begin))
    elif [[ -n $write_begins && -z $write_ends ]] && ! any_temporary; then
        now_us
        write_ends=$((now - begin))
    fi
done
wait "$pid" || fail "the timed run failed"
now_us
duration=$((now - begin))
write_begins=${write_begins:-$((duration * 9 / 10))}
write_ends=${write_ends:-$duration}
# At least a millisecond, so that the kills in the write still spread.
write_span=$((write_ends - write_begins > 1000 ? write_ends - write_begins : 1000))
cmp -s "$target" "$scratch/new_target" || fail "two uninterrupted runs wrote different targets"
cmp -s "$external" "$scratch/new_external" ||
    fail "two uninterrupted runs wrote different external databases"
echo "kill_test: a save takes $((duration / 1000)) ms; the temporary files exist from" \
    "$((write_begins / 1000)) ms to $((write_ends / 1000)) ms"

before=0
during=0
after=0
left_temporary=0
for i in $(seq 0 19); do
    reset_files
    now_us
    begin=$now
    start_translate
    if [[ $i -lt 10 ]]; then
        delay=$((duration * (2 * i + 1) / 20))
    else
        while kill -0 "$pid" 2>/dev/null && ! any_temporary; do
            :
        done
        now_us
        delay=$((now - begin + write_span * (2 * (i - 10) + 1) / 20))
    fi
    wait_until $((begin + delay))
    kill -KILL "$pid" 2>/dev/null || true
    status=0
    wait "$pid" 2>/dev/null || status=$?

    if cmp -s "$target" "$scratch/old_target"; then
        target_state=old
    elif cmp -s "$target" "$scratch/new_target"; then
        target_state=new
    else
        fail "kill $((i + 1)) after $((delay / 1000)) ms left a target that is neither old nor new"
    fi
    if cmp -s "$external" "$scratch/old_external"; then
        external_state=old
    elif cmp -s "$external" "$scratch/new_external"; then
        external_state=new
    else
        fail "kill $((i + 1)) after $((delay / 1000)) ms left an external database that is" \
            "neither old nor new"
    fi
    temporary=no
    if any_temporary; then
        temporary=yes
        left_temporary=$((left_temporary + 1))
    fi
    if [[ $status -eq 0 || $target_state == new ]]; then
        phase=after
        after=$((after + 1))
    elif [[ $temporary == yes || $external_state == new ]]; then
        phase=during
        during=$((during + 1))
    else
        phase=before
        before=$((before + 1))
    fi
    echo "kill_test: kill $((i + 1)) at $((delay / 1000)) ms: $phase the write;" \
        "target $target_state, external database $external_state, temporary file left: $temporary"
done

# A temporary file a kill left behind does not stand in the way of the next save.
reset_files
cp "$scratch/old_target" "${temporaries[0]}"
start_translate
wait "$pid" || fail "a save after a kill failed"
cmp -s "$target" "$scratch/new_target" || fail "a save after a kill wrote another target"
any_temporary && fail "a save after a kill left a temporary file"

echo "kill_test: 20 kills: $before before the write, $during during it, $after after it;" \
    "$left_temporary left a temporary file; every target and external database was old or new"
