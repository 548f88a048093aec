#!/usr/bin/env bash
# How `tise-cli render --all` scales with -j: a mod of 40 screens (the
# sample's six good screens, copied under new names, over the base game's
# styles, fonts and textures; the engine adds its loading screen) rendered at two sizes with -j 1 and with -j N,
# each run timed on the wall clock, best of ROUNDS. Prints both times, the
# speed-up and the machine's load; exits 1 when the two runs do not write the
# same output and pictures.
#   BUILD_DIR  build folder (default: build)
#   JOBS       the -j to compare with -j 1 (default: the number of cores)
#   ROUNDS     runs of each (default: 3)
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${BUILD_DIR:-build}" && pwd)"
cli="$build/bin/tise-cli"
jobs="${JOBS:-$(nproc)}"
rounds="${ROUNDS:-3}"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$build/sample/." "$work/"
cd "$work"

# A mod of its own: the base game's data folder without its screens, and the
# members of its art archive as loose files.
mkdir -p Jobs/Data
cp -r Ironveil/Data/. Jobs/Data/
rm -f Jobs/Data/Art/UI/Screens/*
"$cli" sga list Ironveil/Archives/IronveilArt.sga | cut -f1 | while IFS= read -r member; do
    file="Jobs/Data/$(tr '\\' '/' <<<"$member")"
    mkdir -p "$(dirname "$file")"
    "$cli" sga cat Ironveil/Archives/IronveilArt.sga "$member" >"$file"
done
printf '[global]\nName = Jobs\nModFolder = Jobs\nDataFolder.1 = Data\n' >Jobs.module
screens=(mainmenu lobby loading briefing Credits Options)
for i in $(seq 0 39); do
    name="${screens[$((i % ${#screens[@]}))]}"
    "$cli" cat Ironveil.module "Art\\UI\\Screens\\$name.screen" >"Jobs/Data/Art/UI/Screens/$(printf 'screen%02d' "$i").screen"
done
[ "$("$cli" screens Jobs.module | grep -c '^screen')" -eq 40 ] || { echo "the mod does not list its 40 screens" >&2; exit 1; }

# Best wall-clock seconds of rounds runs of: render --all with -j $1 into out$1.
best() {
    local j="$1" fastest="" start end took
    for _ in $(seq "$rounds"); do
        rm -rf "out$j"
        start=$(date +%s.%N)
        "$cli" render Jobs.module --all -o "out$j" --size 1920x1080 --size 1280x720 -j "$j" >"log$j" 2>"err$j"
        end=$(date +%s.%N)
        took=$(echo "$end - $start" | bc -l)
        if [ -z "$fastest" ] || [ "$(echo "$took < $fastest" | bc -l)" -eq 1 ]; then fastest="$took"; fi
    done
    echo "$fastest"
}

one=$(best 1)
many=$(best "$jobs")
if ! cmp -s log1 "log$jobs" || ! cmp -s err1 "err$jobs" || ! diff -r -q out1 "out$jobs" >/dev/null; then
    echo "-j $jobs does not give what -j 1 gives" >&2
    exit 1
fi
printf 'render --all, 41 screens at 2 sizes: -j 1 %.2f s, -j %s %.2f s, speed-up %.2fx (load: %s)\n' \
    "$one" "$jobs" "$many" "$(echo "$one / $many" | bc -l)" "$(cut -d' ' -f1-3 /proc/loadavg)"
