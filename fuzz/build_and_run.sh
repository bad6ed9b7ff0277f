#!/bin/sh
# Builds a fuzz target through the project's CMake build (clang, KVR_BUILD_FUZZ=ON) and
# runs it.
#   fuzz/build_and_run.sh [seconds] [target]   (default 600 s, load_data_fuzz; 0 only builds)
# The build, corpus and findings go to build-fuzz/ below the repository root.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
secs=${1:-600}
target=${2:-load_data_fuzz}
mkdir -p "$out/corpus/$target" "$out/findings"
cmake -S "$root" -B "$out/build" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVR_BUILD_FUZZ=ON -DKVR_BUILD_TESTS=OFF \
  -DKVR_BUILD_BENCH=OFF -DKVR_BUILD_EXAMPLES=OFF -DKVR_BUILD_QT=OFF >/dev/null
cmake --build "$out/build" --target "$target" -j "$(nproc)"
exe="$out/build/fuzz/$target"
corpus="$out/corpus/$target"
extra=""

# Seeds: an empty data file and one with items and long texts, written by the reader's
# own layout (python only packs bytes).
if [ "$target" = load_data_fuzz ]; then
python3 - "$corpus" <<'PY'
import struct, sys, os
d = sys.argv[1]
def rec(kind=0, lwid=0, text=b"", p1=0, p2=0, p3=0, cm=0, x=0.0, y=0.0, fill=0xFFFFFF):
    r = struct.pack("<4d4iB3xiiBB2xiBBB15s2x3iB3x", x, y, 0.0, 0.0, 0, fill, 0x808080,
                    0xFFFFFF, 0, 0, lwid, 0, kind, 1, 0, 0, len(text), text, p1, p2, p3, cm)
    assert len(r) == 104
    return r
def header(n, m):
    return rec(lwid=-2, text=b"[DATAFORMAT]", p1=n, p2=m)
with open(os.path.join(d, "empty"), "wb") as f:
    f.write(header(0, 0))
with open(os.path.join(d, "texts"), "wb") as f:
    f.write(header(4, 2) + rec(1, 1, p3=3, x=1.5, y=2.5) + rec(7, 1, b"abcdefghijklmno", 10)
            + rec(2, 2, x=-1.0) + rec(16, 2, b"0123456789abcde", 8) + b"first long\\n text\r\nsecond\r\n")
PY
printf 'mark1="[DATAFORMAT]"\nmark2="[ANNOFORMAT]"\nesc="\\\\n"\ncrlf="\\x0d\\x0a"\n' > "$out/load_data.dict"
extra="-dict=$out/load_data.dict"
fi

[ "$secs" = 0 ] && exit 0
cd "$out/findings"
exec "$exe" -max_total_time="$secs" -max_len=4096 -rss_limit_mb=2048 $extra \
  -print_final_stats=1 "$corpus"
