#!/usr/bin/env bash
# Runs a fixed set of lorvant-calc cases and records, per case, what a user
# sees: stdout, stderr, exit status and every file the case wrote. Two builds
# that behave the same give byte-identical OUTDIRs (compare with diff -r, or
# scripts/compare_batch.sh).
#
#   scripts/batch_cases.sh BINDIR OUTDIR
#
# OUTDIR/<case>/ holds: args (the command line), status, stdout, stderr,
# manifest (type, mode and size of every file in the case's folder and HOME)
# and files/ (a copy of the case's folder after the run), home/ when the tool
# left something in HOME.
set -u

if [ $# -ne 2 ]; then
  echo "usage: $0 BINDIR OUTDIR" >&2
  exit 2
fi
bindir=$(cd "$1" && pwd) || exit 2
tool="$bindir/lorvant-calc"
[ -x "$tool" ] || { echo "$0: no lorvant-calc in $bindir" >&2; exit 2; }
outdir=$2
mkdir -p "$outdir" || exit 2
outdir=$(cd "$outdir" && pwd)

# Each case runs in a folder of its own under a scratch folder; its path
# differs between runs, so it is replaced by @WORK@ wherever it shows up in
# stdout or stderr (the cases give relative paths, so it rarely does).
work=$(mktemp -d "${TMPDIR:-/tmp}/batch_cases.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT

# Only nec2c's folder and the basic tools are on PATH, so the engine found is
# always /usr/bin/nec2c.
base_path=/usr/bin:/bin
count=0

# normalise FILE: the scratch folder's path and the hidden temporary names
# (".NAME.lorvant-PID-XXXXXX") vary from run to run.
normalise() {
  sed -i -e "s#$work#@WORK@#g" \
         -e 's#\.lorvant-[0-9]\{1,\}-[A-Za-z0-9]\{6\}#.lorvant-PID-XXXXXX#g' "$1"
}

# run_case NAME ARGS...
# Per-case settings, given as variables before the call:
#   LC      locale for LC_ALL (default C.UTF-8; Qt takes the default decimal
#           separator from it)
#   SETUP   shell text run in the case's folder first (earlier files, designs)
#   NOPATH  non-empty: PATH holds no nec2c
#   STDOUT  a file to send stdout to instead of recording it (/dev/full)
run_case() {
  name=$1; shift
  count=$((count + 1))
  dir="$work/$name"
  rec="$outdir/$name"
  rm -rf "$rec"
  mkdir -p "$dir/cwd" "$dir/home" "$dir/xdg/config" "$dir/xdg/data" "$dir/xdg/cache" "$dir/xdg/run" "$rec"
  chmod 700 "$dir/xdg/run"
  printf '%s\n' "$*" > "$rec/args"
  (
    cd "$dir/cwd" || exit 99
    umask 022
    if [ -n "${SETUP:-}" ]; then sh -c "$SETUP" || exit 98; fi
    path=$base_path
    [ -n "${NOPATH:-}" ] && path="$dir/empty-path" && mkdir -p "$path"
    # A clean environment: fixed locale and zone, a HOME and XDG folders of
    # the case's own, and the sanitizer options of the caller.
    set -- env -i HOME="$dir/home" XDG_CONFIG_HOME="$dir/xdg/config" \
      XDG_DATA_HOME="$dir/xdg/data" XDG_CACHE_HOME="$dir/xdg/cache" \
      XDG_RUNTIME_DIR="$dir/xdg/run" LC_ALL="${LC:-C.UTF-8}" TZ=UTC PATH="$path" \
      ${ASAN_OPTIONS+ASAN_OPTIONS="$ASAN_OPTIONS"} ${UBSAN_OPTIONS+UBSAN_OPTIONS="$UBSAN_OPTIONS"} \
      "$tool" "$@"
    if [ -n "${STDOUT:-}" ]; then
      "$@" > "$STDOUT" 2> "$rec/stderr" < /dev/null
    else
      "$@" > "$rec/stdout" 2> "$rec/stderr" < /dev/null
    fi
    echo $? > "$rec/status"
  )
  [ -f "$rec/status" ] || echo "setup failed" > "$rec/status"
  [ -f "$rec/stdout" ] && normalise "$rec/stdout"
  normalise "$rec/stderr"
  # Mode and size are behaviour too (a replaced file keeps its mode); times are not.
  (cd "$dir" && find cwd home -mindepth 1 -printf '%y %m %s %p\n' | LC_ALL=C sort) > "$rec/manifest"
  cp -a "$dir/cwd" "$rec/files"
  [ -n "$(ls -A "$dir/home")" ] && cp -a "$dir/home" "$rec/home"
  unset LC SETUP NOPATH STDOUT
}

D=(--date "09.12.2026 12:00:00")   # reports' closing line: fixed, not "now"
BANDS=(--band 3.5 --band 7 --band 14 --band 21 --band 28)

# A design file as the README shows it, and two it must refuse.
DESIGN='cat > my.lorvant <<X
[design]
format = lorvant-design
version = 1

[main]
frequency = 3.6
half-waves = 4
shortening-factor = 0.95
material = oil
dielectric = 2.35
band-3.5 = counted
band-7 = counted
band-10 = grey
segment = ssb
length-mode = preferred
feed-point = maximum-sum

[calculator]
active = yes
height = 12.5
X'
DAMAGED='printf "[design]\nformat = lorvant-design\nversion = 1\n\n[main]\nfrequency = drei\n" > bad.lorvant'
NEWER='printf "[design]\nformat = lorvant-design\nversion = 99\n" > new.lorvant'
EARLIER='mkdir results && printf "old\n" > results/AntStrSu.txt && chmod 600 results/AntStrSu.txt && printf "old\n" > results/Lorvant.nec'

# --- top level: help, version, bad command lines ---------------------------
run_case top-help --help
run_case top-h -h
run_case top-version --version
run_case top-no-arguments
run_case top-unknown-command frobnicate
run_case top-help-run help run
run_case top-help-unknown help frobnicate
run_case top-unknown-option --frobnicate
for c in run nec allbands onefreq impedance scan vk prune dipole; do
  run_case "help-$c" "$c" --help
done

# --- run: the optimisation, its files and its refusals ----------------------
run_case run-de-comma-json run --out results "${BANDS[@]}" --decimal-separator , --json "${D[@]}"
run_case run-en-point-text run --out results "${BANDS[@]}" --language en --decimal-separator . "${D[@]}"
run_case run-special-table run --out results --frequency 7,1 --halfwaves 1 --band 7 --band 14 --band 21 --special-table --decimal-separator , "${D[@]}"
run_case run-special-table-en-json run --out results --frequency 7.1 --halfwaves 1 --band 7 --band 14 --band 21 --special-table --language en --decimal-separator . --json "${D[@]}"
LC=de_DE.UTF-8 run_case run-locale-de-separator run --out results "${BANDS[@]}" --vk 0,95 "${D[@]}"
LC=en_GB.UTF-8 run_case run-locale-en-separator run --out results "${BANDS[@]}" --vk 0.95 --language en "${D[@]}"
run_case run-grey-segment-ssb run --out results --band 3.5 --band 7 --grey-band 10 --band 14 --segment ssb --decimal-separator , "${D[@]}"
run_case run-segment-cw-all run --out results "${BANDS[@]}" --segment cw --length-mode all --decimal-separator . --json "${D[@]}"
run_case run-highest-lowest run --out results "${BANDS[@]}" --length-mode highest-lowest --tolerance 3 --decimal-separator , "${D[@]}"
run_case run-equal-impedances run --out results "${BANDS[@]}" --equal-impedances --language en --decimal-separator . "${D[@]}"
run_case run-windom run --out results --windom --band 3.5 --band 7 --band 14 --band 28 --halfwaves 2 --frequency 3,6 --decimal-separator , "${D[@]}"
run_case run-insulated run --out results "${BANDS[@]}" --dielectric "2,35 Öl" --outer-diameter 2,5 --conductor 1,4 --decimal-separator , "${D[@]}"
run_case run-calculator run --out results "${BANDS[@]}" --calculator-height 12,5 --calculator-diameter 2 --ground-correction --decimal-separator , "${D[@]}"
run_case run-wire-length run --out results --wire-length 30 "${BANDS[@]}" --min-sum 0.3 --language en --decimal-separator . --json "${D[@]}"
run_case run-extra-band-yes run --out results --frequency 12 --extra-band yes "${BANDS[@]}" --decimal-separator . --json "${D[@]}"
run_case run-segment-cancel run --out results --frequency 14,05 --segment ssb --segment-answer cancel "${BANDS[@]}" --decimal-separator , --json "${D[@]}"
run_case run-dielectric-rejected run --out results --dielectric 25 --dielectric-answer no "${BANDS[@]}" --decimal-separator , "${D[@]}"
run_case run-too-few-bands run --out results --band 14 --decimal-separator , "${D[@]}"
run_case run-too-few-bands-json run --out results --band 14 --language en --decimal-separator . --json "${D[@]}"
SETUP=$EARLIER run_case run-replaces-earlier run --out results "${BANDS[@]}" --decimal-separator , "${D[@]}"
SETUP='printf x > results' run_case run-out-is-file run --out results "${BANDS[@]}"
run_case run-no-out run "${BANDS[@]}"
run_case run-unknown-option run --out results --frobnicate
run_case run-missing-value run --out
run_case run-bad-band run --out results --band 4
run_case run-vk-too-big run --out results --vk 1,5 "${BANDS[@]}"
run_case run-bad-segment run --out results --segment am
run_case run-save-design-only run --save-design saved.lorvant "${BANDS[@]}" --frequency 3,6 --segment ssb --decimal-separator ,
SETUP=$DESIGN run_case run-design run --design my.lorvant --out results "${D[@]}" --decimal-separator ,
SETUP=$DESIGN run_case run-design-override run --design my.lorvant --band 7 --band 14 --out results --save-design again.lorvant --language en "${D[@]}" --decimal-separator .
SETUP=$DAMAGED run_case run-design-damaged run --design bad.lorvant --out results
SETUP=$NEWER run_case run-design-newer run --design new.lorvant --out results
run_case run-design-missing run --design nowhere.lorvant --out results
STDOUT=/dev/full run_case run-stdout-full run --out results "${BANDS[@]}" --decimal-separator , "${D[@]}"

# --- nec: the real nec2c, its pictures and its refusals ---------------------
NEC=(--frequency 7,1 --halfwaves 1 --band 7 --band 14 --band 21 --band 28 --decimal-separator ,)
run_case nec-de-text nec --out results "${NEC[@]}" --height 10 --ground average "${D[@]}"
run_case nec-en-json nec --out results --frequency 7.1 --halfwaves 1 --band 7 --band 14 --band 21 --band 28 --decimal-separator . --language en --json "${D[@]}"
run_case nec-picture-svg nec --out results "${NEC[@]}" --picture results/swr.svg "${D[@]}"
run_case nec-picture-png nec --out results "${NEC[@]}" --language en --picture swr.png "${D[@]}"
run_case nec-ground-free nec --out results "${NEC[@]}" --ground free --balun 1 --points 0 "${D[@]}"
run_case nec-ground-perfect nec --out results "${NEC[@]}" --ground perfect --balun 9 --json "${D[@]}"
run_case nec-ground-poor nec --out results "${NEC[@]}" --ground poor --height 15,5 --points 3 "${D[@]}"
run_case nec-ground-good-feed nec --out results "${NEC[@]}" --ground good --feed 6,7 --balun 2.25 "${D[@]}"
run_case nec-windom nec --out results --windom --band 3.5 --band 7 --band 14 --band 28 --halfwaves 2 --frequency 3.6 --decimal-separator . --language en "${D[@]}"
SETUP=$EARLIER run_case nec-replaces-earlier nec --out results "${NEC[@]}" "${D[@]}"
NOPATH=1 SETUP=$EARLIER run_case nec-no-engine nec --out results "${NEC[@]}" "${D[@]}"
run_case nec-too-few-bands nec --out results --band 14 "${D[@]}"
run_case nec-picture-jpg nec --out results "${NEC[@]}" --picture swr.jpg
run_case nec-points-one nec --out results "${NEC[@]}" --points 1
run_case nec-timeout-zero nec --out results "${NEC[@]}" --engine-timeout 0
run_case nec-bad-ground nec --out results "${NEC[@]}" --ground wet
run_case nec-bad-balun nec --out results "${NEC[@]}" --balun 3
run_case nec-no-out nec "${NEC[@]}"

# --- feed-point checks -------------------------------------------------------
run_case allbands-en-point allbands --run-length 41.7 --distance 13.9 --band 3.5 --band 7 --band 14 --vk 0.95 --decimal-separator . --language en
run_case allbands-de-out allbands --run-length 41,7 --distance 13,9 "${BANDS[@]}" --decimal-separator , --out results "${D[@]}"
run_case allbands-adapt-yes allbands --run-length 41.7 --length 40 --distance 13.9 "${BANDS[@]}" --adapt yes --decimal-separator . --out results "${D[@]}"
run_case allbands-info-prefill allbands --run-length 41,7 --info "Mögliche Speisepunkte (X) bei  8,29 m, 12,55 m, 17,41 m," "${BANDS[@]}" --decimal-separator ,
run_case allbands-calculator allbands --run-length 41.7 --distance 13.9 "${BANDS[@]}" --calculator-height 10 --ground-correction --insulation 0.02 --decimal-separator .
run_case allbands-no-distance allbands --run-length 41.7 "${BANDS[@]}" --decimal-separator .
run_case allbands-no-run allbands --distance 13.9 "${BANDS[@]}" --decimal-separator ,
run_case onefreq-de onefreq --length 20 --at 7,5 --distance 10 --vk 1 --decimal-separator ,
run_case onefreq-en onefreq --length 41.7 --at 14.2 --distance 6.95 --language en --decimal-separator .
run_case onefreq-no-length onefreq --at 7.5 --distance 10 --decimal-separator .
run_case impedance-de impedance --current-sum 0,5 --decimal-separator ,
run_case impedance-en-kilo impedance --current-sum 0.02 --language en --decimal-separator .
run_case impedance-out-of-range impedance --current-sum 3 --decimal-separator .
run_case impedance-not-a-number impedance --current-sum abc
run_case impedance-missing impedance
run_case scan-typical scan --run-length 41.7 --band 3.5 --band 7 --band 14 --from 6 --to 8 --step 0.1 --decimal-separator .
run_case scan-de-segment scan --run-length 41,7 "${BANDS[@]}" --grey-band 10 --segment cw --from 6 --to 7 --step 0,05 --decimal-separator ,
run_case scan-step-corrected scan --run-length 20 --band 7 --band 14 --from 5 --to 5.01 --step 0.0001 --language en --decimal-separator .
run_case scan-beyond-wire scan --run-length 20 --band 7 --band 14 --from 19 --to 25 --step 0.5 --decimal-separator .
run_case scan-no-run scan --band 7 --band 14

# --- calculators ------------------------------------------------------------
run_case vk-de vk --frequency 14,2 --height 10 --diameter 1,382 --decimal-separator ,
run_case vk-en-ground vk --frequency 3.6 --height 12.5 --diameter 2 --ground-correction --language en --decimal-separator .
run_case vk-diameter-corrected vk --frequency 14.2 --height 10 --diameter 0.01 --decimal-separator .
run_case vk-marked vk --frequency 28 --height 0.5 --diameter 5 --decimal-separator .
run_case vk-bad-height vk --height abc
run_case prune-de prune --length 20 --measured 7,0 --desired 7,05 --decimal-separator ,
run_case prune-en prune --length 20 --measured 7.1 --desired 7.0 --language en --decimal-separator .
run_case prune-run-length prune --run-length 41.7 --measured 3.55 --desired 3.6 --decimal-separator .
run_case prune-ratio-refused prune --length 20 --measured 3.5 --desired 7.1 --decimal-separator .
run_case prune-missing prune --length 20
run_case dipole-de-out dipole --frequency 14,2 --exciter-frequency 3,5 --diameter 2 --exciter-diameter 2 --vk 0,95 --decimal-separator , --out results "${D[@]}"
run_case dipole-windom-en dipole --windom --frequency 7.1 --half-waves 2 --impedance 200 --fraction 0.3333 --band 3.5 --band 7 --language en --decimal-separator . --out results "${D[@]}"
run_case dipole-calculator dipole --frequency 21.2 --band 7 --band 14 --calculator-height 8 --ground-correction --decimal-separator .
run_case dipole-bad-fraction dipole --windom --frequency 7.1 --fraction 1 --band 3.5 --decimal-separator .
run_case dipole-refused dipole --frequency 0,1 --band 3.5 --decimal-separator ,
run_case dipole-no-frequency dipole

echo "$count cases recorded in $outdir"
