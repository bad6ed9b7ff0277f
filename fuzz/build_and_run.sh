#!/bin/sh
# Builds the LoadData fuzz target with clang and runs it.
#   fuzz/build_and_run.sh [seconds]      (default 600; 0 only builds)
# Objects, corpus and findings go to build-fuzz/ below the repository root.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/build-fuzz"
secs=${1:-600}
mkdir -p "$out/obj" "$out/corpus" "$out/findings"
cxx=${CXX_FUZZ:-clang++}
flags="-std=c++20 -O1 -g -I$root $(pkg-config --cflags freetype2 fontconfig libpng)"
san="-fsanitize=address,undefined"

objs=""
for src in "$root"/platform/*.cpp "$root"/platform/detail/*.cpp "$root"/scale/*.cpp \
    "$root"/zuvado/*.cpp; do
  obj="$out/obj/$(echo "${src#$root/}" | tr / _).o"
  if [ ! -f "$obj" ] || [ "$src" -nt "$obj" ] || [ -n "$(find "$root/platform" "$root/scale" "$root/zuvado" -name '*.h' -newer "$obj" | head -1)" ]; then
    echo "compile ${src#$root/}"
    $cxx $flags $san -fsanitize=fuzzer-no-link -c "$src" -o "$obj"
  fi
  objs="$objs $obj"
done
$cxx $flags $san -fsanitize=fuzzer "$root/fuzz/load_data_fuzz.cpp" $objs \
  $(pkg-config --libs freetype2 fontconfig libpng zlib) -o "$out/load_data_fuzz"

# Seeds: an empty data file and one with items and long texts, written by the reader's
# own layout (python only packs bytes).
python3 - "$out/corpus" <<'PY'
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

[ "$secs" = 0 ] && exit 0
cd "$out/findings"
exec "$out/load_data_fuzz" -max_total_time="$secs" -max_len=4096 -rss_limit_mb=2048 \
  -dict="$out/load_data.dict" -print_final_stats=1 "$out/corpus"
