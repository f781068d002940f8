#!/usr/bin/env bash
# Builds the image library's fuzz targets and the movie reader's natively
# (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) and runs
# them.
#
#   run-fuzzers.sh build SOURCE_DIR OUT_DIR
#   run-fuzzers.sh run   SOURCE_DIR OUT_DIR TARGET SECONDS
#
# "run" first replays every kept crash fixture and seed through the target,
# then fuzzes for SECONDS from the seeds. A crash leaves its input in
# OUT_DIR/artifacts and fails; keep it under tests/imaging/fixtures (the
# movie target: tests/playback/movie_seeds).
set -euo pipefail
mode=$1 src=$2 out=$3
targets=(guess bmp pcx tga jpeg png)
mkdir -p "$out"

build() {
  local cxx=clang++-14
  local flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
    -DLW_IMAGE_MAX_PIXELS=1048576 -I"$src")
  local core=(ImageState ImageHandle ImageGuess ImageBmp ImagePcx ImageTga
    ImageJpeg ImageJpegWrite ImagePng ImagePixels)
  local objs=()
  mkdir -p "$out/obj"
  for c in "${core[@]}"; do
    local o=$out/obj/$c.o
    if [[ ! -f $o || $src/imaging/$c.cpp -nt $o || $src/imaging/ImageInternal.h -nt $o ||
          $src/imaging/JpegCommon.h -nt $o ||
          $src/imaging/ImageLib.h -nt $o || $0 -nt $o ]]; then
      "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c \
        "$src/imaging/$c.cpp" -o "$o"
    fi
    objs+=("$o")
  done
  # The processor check the pixel loops ask.
  local cpu=$out/obj/CpuFeatures.o
  if [[ ! -f $cpu || $src/common/CpuFeatures.cpp -nt $cpu || $0 -nt $cpu ]]; then
    "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" -c \
      "$src/common/CpuFeatures.cpp" -o "$cpu"
  fi
  objs+=("$cpu")
  local i=0
  for t in "${targets[@]}"; do
    "$cxx" "${flags[@]}" -DLW_FUZZ_TARGET=$i "$src/tools/fuzz/ImageFuzz.cpp" \
      "${objs[@]}" -ljpeg -lpng -lz -o "$out/fuzz_$t.new"
    mv "$out/fuzz_$t.new" "$out/fuzz_$t"
    i=$((i + 1))
  done
  # The movie reader, against the few system types it needs.
  "$cxx" "${flags[@]}" -I"$src/tools/fuzz/native" "$src/tools/fuzz/MovieFuzz.cpp" \
    "$src/playback/SwfMovie.cpp" "$src/playback/SwfFrameSize.cpp" -lz -o "$out/fuzz_movie.new"
  mv "$out/fuzz_movie.new" "$out/fuzz_movie"
}

run() {
  local target=$1 seconds=$2
  local bin=$out/fuzz_$target
  local corpus=$out/corpus_$target
  mkdir -p "$corpus" "$out/artifacts"
  export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  local seeds=$src/tests/imaging/seeds
  [[ $target == movie ]] && seeds=$src/tests/playback/movie_seeds
  local kept=("$src"/tests/imaging/fixtures/* "$seeds"/*)
  [[ $target == movie ]] && kept=("$seeds"/*)
  local files=()
  for f in "${kept[@]}"; do [[ -f $f ]] && files+=("$f"); done
  if [[ ${#files[@]} -gt 0 ]]; then
    "$bin" -rss_limit_mb=2048 "${files[@]}" >"$out/replay_$target.log" 2>&1 ||
      { tail -60 "$out/replay_$target.log"; exit 1; }
  fi
  "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$out/artifacts/${target}-" "$corpus" "$seeds" \
    >"$out/fuzz_$target.log" 2>&1 || { tail -80 "$out/fuzz_$target.log"; exit 1; }
  grep -E 'stat::number_of_executed_units|Done' "$out/fuzz_$target.log" | tail -2
}

case $mode in
  build) build ;;
  run) run "$4" "$5" ;;
  *) echo "usage: $0 build|run SOURCE_DIR OUT_DIR [TARGET SECONDS]" >&2; exit 2 ;;
esac
