#!/usr/bin/env bash
# Builds the fuzz targets natively (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs them: the image library's readers,
# the movie reader, the byte readers that need no system (the carried
# programs' reads of their own files, the custom image files, the MP3 frame
# search), and the scene document, options file and clipboard block readers
# over the script model built against stand-ins of the system
# (native_script/).
#
#   run-fuzzers.sh build SOURCE_DIR OUT_DIR SOURCE_LISTS
#   run-fuzzers.sh run   SOURCE_DIR OUT_DIR TARGET SECONDS
#
# "build" takes the libraries' files from the lists the project's build
# writes (SOURCE_LISTS/<library>.txt), less the files named here as needing
# the system; a file new to a library is fuzzed from the next build on.
#
# "run" first replays every kept crash fixture and seed through the target,
# then fuzzes for SECONDS from the seeds. A crash leaves its input in
# OUT_DIR/artifacts and fails; keep it under tests/imaging/fixtures (the
# movie target: tests/playback/movie_seeds; the others:
# tests/fuzz/TARGET/fixtures, beside their seeds; the scene targets share
# tests/fuzz/scene/fixtures, and their seeds are written by the build).
set -euo pipefail
mode=$1 src=$2 out=$3
targets=(guess bmp pcx tga jpeg png)
mkdir -p "$out"

cxx=clang++-14
flags=(-std=c++17 -g -O1 -fno-omit-frame-pointer
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
  -DLW_IMAGE_MAX_PIXELS=1048576 -I"$src")

build() {
  # The image library without its bridge to GDI, and the processor check
  # the pixel loops ask.
  local imaging=()
  sources imaging imaging imaging/ImageGdi.cpp
  sources imaging cpu_features
  compile imaging -- "${imaging[@]}"
  local i=0
  for t in "${targets[@]}"; do
    "$cxx" "${flags[@]}" -DLW_FUZZ_TARGET=$i "$src/tools/fuzz/ImageFuzz.cpp" \
      "${objects[@]}" -ljpeg -lpng -lz -o "$out/fuzz_$t.new"
    mv "$out/fuzz_$t.new" "$out/fuzz_$t"
    i=$((i + 1))
  done
  # The movie reader, timelines and renderer, plain C++, without the wave-out
  # device and the control's window, with the image library's JPEG reader
  # built above.
  local movie=()
  sources movie movie playback/movie/MovieWaveOut.cpp playback/movie/FlashControl.cpp \
    playback/movie/FlashPlayer.cpp
  link movie MovieFuzz.cpp "${movie[@]}" "${objects[@]}" -ljpeg -lpng -lz
  # The byte readers, plain C++ without the system.
  link carried CarriedFuzz.cpp common/Payload.cpp engine/MovieHeader.cpp
  link custom_images CustomImagesFuzz.cpp wizards/CustomImages.cpp
  link mp3 Mp3Fuzz.cpp playback/mp3/Mp3Frame.cpp
  # The scene document and the options file: the framework's core and the
  # script model against native_script/windows.h, whose stand-ins do
  # nothing. The drawing and playing code that reading never reaches is
  # left out, its symbols unresolved.
  local core=() builder=() runtime=()
  sources core framework_core framework/FileReplace.cpp framework/SharedFile.cpp \
    framework/WidePath.cpp \
    framework/Registry.cpp framework/Sync.cpp
  core+=(framework/Gdi.cpp common/RandomRange.cpp tools/fuzz/native_script/PictureLayer.cpp)
  runtime=("${core[@]}")
  sources runtime script_runtime script/ObjectDraw.cpp
  builder=("${core[@]}")
  sources builder script_builder script/ObjectDraw.cpp script/ObjectPictures.cpp \
    script/PaletteTree.cpp script/SceneFile.cpp script/ListText.cpp script/MeasureField.cpp \
    script/SaverName.cpp
  local script=(-I"$src/tools/fuzz/native_script" -D_vsnprintf=vsnprintf -Wno-ignored-attributes -no-pie
    -Wl,--unresolved-symbols=ignore-all)
  compile script_builder -DLW_SCRIPT_EDITING=1 -- "${builder[@]}"
  link scene SceneFuzz.cpp -DLW_SCRIPT_EDITING=1 "${script[@]}" "${objects[@]}"
  link options OptionsFuzz.cpp -DLW_SCRIPT_EDITING=1 "${script[@]}" "${objects[@]}"
  link clipboard ClipboardFuzz.cpp -DLW_SCRIPT_EDITING=1 "${script[@]}" "${objects[@]}"
  # The seeds of all three, written by the document tests' fixtures and the
  # builder's own writers.
  local model=("${objects[@]}")
  compile script_builder -DLW_SCRIPT_EDITING=1 -- tests/script/script_support.cpp
  "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=}" -DLW_SCRIPT_EDITING=1 "${script[@]}" \
    "$src/tools/fuzz/SceneSeeds.cpp" "${model[@]}" "${objects[@]}" -lgtest -lpthread \
    -o "$out/scene_seeds"
  rm -rf "$out/seeds_scene" "$out/seeds_options" "$out/seeds_clipboard"
  "$out/scene_seeds" "$out"
  compile script_runtime -DLW_SCRIPT_EDITING=0 -- "${runtime[@]}"
  link scene_runtime SceneFuzz.cpp -DLW_SCRIPT_EDITING=0 "${script[@]}" "${objects[@]}"
}

# sources ARRAY LIBRARY [LEFT_OUT...]: appends to ARRAY the .cpp files of
# LIBRARY as the build listed them, less those left out; a file left out
# that the library does not hold fails the step, so that the names here
# follow the library's.
sources() {
  local -n into=$1
  local list=$lists/$2.txt
  shift 2
  if [[ ! -f $list ]]; then
    echo "run-fuzzers.sh: no source list $list (configure the project first)" >&2
    exit 1
  fi
  local files=() f skip
  mapfile -t files <"$list"
  for skip in "$@"; do
    if ! printf '%s\n' "${files[@]}" | grep -qxF -- "$skip"; then
      echo "run-fuzzers.sh: $skip, left out here, is not among the files of $list" >&2
      exit 1
    fi
  done
  for f in "${files[@]}"; do
    [[ $f == *.cpp ]] || continue
    for skip in "$@"; do [[ $f == "$skip" ]] && continue 2; done
    into+=("$f")
  done
}

# compile SET DEFINES... -- SOURCES...: objects for fuzzing in OUT_DIR/obj/SET,
# each made again when a file it includes has changed; their paths in
# ${objects[@]}.
compile() {
  local set=$1
  shift
  local defines=()
  while [[ $1 != -- ]]; do defines+=("$1"); shift; done
  shift
  mkdir -p "$out/obj/$set"
  objects=()
  local f pids=()
  for f in "$@"; do
    local o=$out/obj/$set/$(basename "${f%.cpp}").o
    if [[ ! -f $o || ! -f $o.d || -n $(find "$0" $(sed -e 's/^[^:]*://' -e 's/\\$//' "$o.d") \
          -newer "$o" 2>/dev/null | head -1) ]]; then
      rm -f "$o"
      "$cxx" "${flags[@]/-fsanitize=fuzzer,/-fsanitize=fuzzer-no-link,}" "${defines[@]}" \
        -I"$src/tools/fuzz/native_script" -D_vsnprintf=vsnprintf -Wno-ignored-attributes \
        -MMD -MF "$o.d" -c "$src/$f" -o "$o" &
      pids+=($!)
    fi
    objects+=("$o")
  done
  # The compiles run side by side; any one's failure fails the step.
  local pid
  for pid in "${pids[@]}"; do wait "$pid"; done
}

# link TARGET FUZZ_SOURCE [ARGUMENTS...]: one target from its source in
# tools/fuzz and the project's sources (paths under the source folder) and
# options that follow.
link() {
  local target=$1 main=$2
  shift 2
  local args=()
  for a in "$@"; do
    if [[ $a == *.cpp ]]; then args+=("$src/$a"); else args+=("$a"); fi
  done
  "$cxx" "${flags[@]}" "$src/tools/fuzz/$main" "${args[@]}" -o "$out/fuzz_$target.new"
  mv "$out/fuzz_$target.new" "$out/fuzz_$target"
}

run() {
  local target=$1 seconds=$2
  local bin=$out/fuzz_$target
  local corpus=$out/corpus_$target
  mkdir -p "$corpus" "$out/artifacts"
  export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  local seeds=$src/tests/imaging/seeds
  local kept=("$src"/tests/imaging/fixtures/* "$seeds"/*)
  if [[ $target == movie ]]; then
    seeds=$src/tests/playback/movie_seeds
    kept=("$seeds"/*)
  elif [[ $target == scene* || $target == options || $target == clipboard ]]; then
    # Seeds written by the build step; kept crashes beside the others.
    local name=${target%_runtime}
    seeds=$out/seeds_$name
    kept=("$src/tests/fuzz/$name"/fixtures/* "$seeds"/*)
  elif [[ -d $src/tests/fuzz/$target ]]; then
    seeds=$src/tests/fuzz/$target/seeds
    kept=("$src/tests/fuzz/$target"/fixtures/* "$seeds"/*)
  fi
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
  build) lists=$4 build ;;
  run) run "$4" "$5" ;;
  *) echo "usage: $0 build SOURCE_DIR OUT_DIR SOURCE_LISTS | run SOURCE_DIR OUT_DIR TARGET SECONDS" >&2; exit 2 ;;
esac
