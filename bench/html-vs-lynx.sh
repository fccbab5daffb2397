#!/bin/sh
# brevilo-cli layout against lynx -dump on the generated pages, in the same run: the best
# of N wall-clock times of each (the machine may be shared), and the peak resident memory.
#   bench/html-vs-lynx.sh BUILD_DIR [N]
set -e
BUILD=${1:-build}
N=${2:-5}
PAGES=$(mktemp -d)
trap 'rm -rf "$PAGES"' EXIT
"$BUILD/bin/HtmlBench" --pages-to="$PAGES"
best() {  # best wall time (s) and its peak RSS (KB) of N runs of "$@"
    b=""
    for i in $(seq "$N"); do
        /usr/bin/time -f "%e %M" -o "$PAGES/t" "$@" > /dev/null
        read -r t m < "$PAGES/t"
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; bm=$m; fi
    done
    echo "$b $bm"
}
for page in mixed tables grid; do
    f="$PAGES/$page.html"
    size=$(stat -c %s "$f")
    set -- $(best "$BUILD/bin/brevilo-cli" layout "$f")
    bt=$1 bm=$2
    if [ "$page" = grid ]; then
        echo "$page: $size bytes; brevilo-cli layout ${bt}s ${bm}KB"
        continue
    fi
    set -- $(best lynx -dump -width=72 -nolist "$f")
    lt=$1 lm=$2
    echo "$page: $size bytes; brevilo-cli layout ${bt}s ${bm}KB; lynx -dump ${lt}s ${lm}KB;" \
        "lynx/brevilo $(echo "scale=1; $lt / $bt" | bc)"
done
