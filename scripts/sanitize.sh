#!/usr/bin/env bash
# Runs the unit and GL tests and a short played session of the real game under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan, gcc), then fuzzes
# the image, model, font and sound readers with libFuzzer (build-fuzz, clang). Any
# failed test, sanitizer report, non-zero exit or fuzzer crash fails the run.
#
#   FUZZ_SECONDS   seconds per fuzz harness (default 45; 0 skips fuzzing)
#   SESSION_FRAMES frames of the played session (default 300)
#
# Expects the packages of scripts/install-deps.sh (clang and its libFuzzer runtime,
# xvfb, xdotool). Fuzzer crash inputs are kept in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
asanBuild="$root/build-asan"
fuzzBuild="$root/build-fuzz"
fuzzSeconds="${FUZZ_SECONDS:-45}"
sessionFrames="${SESSION_FRAMES:-300}"
xvfb=(xvfb-run -a -s "-screen 0 1024x768x24")

# Leaks are reported at exit. The suppression files name only code outside the
# game (tests/sanitizer/*.supp say why for each entry), never our own.
#
# intercept_tls_get_addr=0: gcc 12's sanitizer runtime takes a dynamic TLS
# block that happens to start 16 bytes into a page (llvmpipe's, loaded with
# the GL driver) for an old glibc layout and reads a bogus range from it;
# LeakSanitizer's thread tracer then dies at exit ("Tracer caught signal 11")
# after the test itself passed, in about one run in five of the texture
# upload test. Without the interceptor: none in 40 runs. It only stops LSan
# from scanning dynamic TLS for pointers, which could report more, never hide
# a leak.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1:intercept_tls_get_addr=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:abort_on_error=1:suppressions=$root/tests/sanitizer/ubsan.supp"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
export MESA_SHADER_CACHE_DIR="$asanBuild/mesa-shader-cache"
# The played session sounds on OpenAL's null backend, as the tests do.
export ALSOFT_CONF="$root/tests/audio/null.conf"
export XDG_CACHE_HOME="$asanBuild/cache"

sanitizerReport='AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer|runtime error:'

# ------------------------------------------------------------ played session
# The session is played by tools/playSession with the driver the end-to-end
# tests use; this script only counts the trace lines it saved.

frameCount() { grep -c 'redblock:' "$1" || true; }

# Mesa unloads its driver when the game shuts the window system down; what the
# driver still held is then referenced only from its unmapped data and would
# read as leaked at exit. Preloading the driver keeps it mapped until the leak
# check has run, so nothing needs suppressing. The sanitizer runtime must stay
# first in the list.
driverPreload() {
    local driver
    driver="/usr/lib/$(gcc -print-multiarch)/dri/swrast_dri.so"
    if [[ ! -f "$driver" ]]; then
        echo "no Mesa software driver at $driver" >&2
        return 1
    fi
    echo "$(gcc -print-file-name=libasan.so) $driver"
}

# ------------------------------------------------------------ phases

scratch=$(mktemp -d "${TMPDIR:-/tmp}/cellquestSanitize.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

phaseStart=0
startPhase() {
    phaseStart=$SECONDS
    echo "== $1"
}
endPhase() { echo "   done in $((SECONDS - phaseStart)) s"; }

buildAsan() {
    startPhase "build with ASan+UBSan (gcc) in $asanBuild"
    cmake -S "$root" -B "$asanBuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCELLQUEST_SANITIZE=ON -DCELLQUEST_BENCH=OFF >/dev/null
    cmake --build "$asanBuild" -j"$(nproc)"
    endPhase
}

runTests() {
    startPhase "unit and GL tests under the sanitizers"
    local status=0
    "${xvfb[@]}" ctest --test-dir "$asanBuild" -L 'unit|gl' --output-on-failure \
        </dev/null || status=$?
    endPhase
    return "$status"
}

runSession() {
    startPhase "played session of $sessionFrames frames under the sanitizers"
    local out="$scratch/game.out" err="$scratch/game.err" status=0
    "${xvfb[@]}" "$asanBuild/playSession" "$asanBuild/cellquest" "$root" "$sessionFrames" \
        "$out" "$err" "LD_PRELOAD=$(driverPreload)" "XDG_DATA_HOME=$scratch/data" \
        "XDG_CONFIG_HOME=$scratch/config" \
        </dev/null || status=$?
    echo "   frames: $(frameCount "$out"), exit status: $status"
    if grep -Eq "$sanitizerReport" "$err"; then
        echo "sanitizer report from the game:" >&2
        cat "$err" >&2
        return 1
    fi
    if ((status != 0)); then
        echo "the game ended with status $status; its standard error:" >&2
        cat "$err" >&2
        return 1
    fi
    if (($(frameCount "$out") < sessionFrames)); then
        echo "the game ended after $(frameCount "$out") of $sessionFrames frames" >&2
        return 1
    fi
    endPhase
}

buildFuzz() {
    startPhase "build the fuzz harnesses (clang, libFuzzer) in $fuzzBuild"
    CC=clang CXX=clang++ cmake -S "$root" -B "$fuzzBuild" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCELLQUEST_FUZZ=ON -DCELLQUEST_TESTS=OFF -DCELLQUEST_BENCH=OFF \
        -DCELLQUEST_SANITIZE=ON >/dev/null
    cmake --build "$fuzzBuild" -j"$(nproc)" --target imageFuzz modelFuzz fontFuzz soundFuzz
    endPhase
}

# Fuzzes a copy of the committed seeds, which stay as they are, together with
# the inputs of earlier findings (tests/fuzz/findings), so each is replayed.
fuzzHarness() {
    local harness=$1 maxLength=$2
    startPhase "fuzz $harness for $fuzzSeconds s"
    local corpus="$scratch/corpus/$harness" artifacts="$fuzzBuild/artifacts"
    local findings="$root/tests/fuzz/findings/$harness"
    mkdir -p "$corpus" "$artifacts" "$scratch/tmp"
    cp -r "$root/tests/fuzz/corpus/$harness/." "$corpus" || return 1
    if [[ -d $findings ]]; then
        cp -r "$findings/." "$corpus" || return 1
    fi
    # -close_fd_mask=1 silences the importers' console lines; reports go to stderr.
    if ! "${xvfb[@]}" env TMPDIR="$scratch/tmp" "$fuzzBuild/tests/fuzz/$harness" \
        -max_total_time="$fuzzSeconds" -max_len="$maxLength" -timeout=120 \
        -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$artifacts/$harness-" \
        "$corpus" </dev/null 2>"$scratch/$harness.log"; then
        tail -n 80 "$scratch/$harness.log" >&2
        echo "$harness failed; the input is kept in $artifacts/" >&2
        return 1
    fi
    grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb)' \
        "$scratch/$harness.log" | sed 's/^/   /'
    endPhase
}

# A failing check does not stop the later ones; the run fails at the end.
failed=()
check() {
    "$@" || failed+=("$*")
}

buildAsan
check runTests
check runSession
if ((fuzzSeconds > 0)); then
    buildFuzz
    check fuzzHarness imageFuzz 65536
    check fuzzHarness modelFuzz 8192
    check fuzzHarness fontFuzz 16384
    check fuzzHarness soundFuzz 65536
fi
if ((${#failed[@]} > 0)); then
    printf '== failed: %s\n' "${failed[@]}" >&2
    exit 1
fi
echo "== no test failed, no sanitizer report, no fuzzer finding"
