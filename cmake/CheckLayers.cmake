# The layers of the code and the one direction of their dependencies:
#
#   framework core -> framework windows -> framework UI
#   -> common (application utilities shared with the saver, payload format)
#   -> imaging (codecs, then the picture layer)
#   -> MP3 player (in playback/; the movies' sound and the script model
#      decode with it)
#   -> movie (the movie control and player, in playback/)
#   -> painter (layouts and transition effects, in playback/)
#   -> script model
#   -> playback (scene thread and players)
#   -> runtime | engine | installer | builder and wizards
#
# A file may include headers of its own layer and of layers below it. The
# top layer's programs are peers: each includes only its own folder, except
# the builder and its wizards, which share one program. Run at build time
# (cmake -P) over every source folder; fails the build on the first
# include that points up, naming both files.
#
#   cmake -DSOURCE_DIR=<top> -DSTAMP=<file> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)

# Framework files by library; any other framework file is UI.
set(framework_core Object Exceptions Strings Collections File Files MemFile SharedFile Archive
    Sync Geometry Terminate Registry Trace TextFormat)
set(framework_windows App AppMain Thread Wnd Dialog Gdi Seams)
# Files of playback/ that belong to the movie player, below the painter:
# these two, and everything in playback/movie/.
set(movie_files FlashPlayer FlashControl)
# Files of playback/ that belong to the MP3 player, below the movie player.
set(mp3_files Mp3Frame Mp3Player)
# Files of playback/ that belong to the painter.
set(painter_files ImagePainter EffectRun EffectRandom EffectsFade EffectsRandom
    EffectsInterleaved EffectsRectangles EffectsSlide EffectsSplit EffectsSnake EffectsRoll
    PlayPacer)

# Sets <out> to the layer rank of a path relative to the top, or to "" for
# files outside the layers (tests, tools).
function(layer_rank path out)
  string(REGEX MATCH "^[^/]+" dir "${path}")
  get_filename_component(stem "${path}" NAME_WE)
  set(rank "")
  if(dir STREQUAL "framework")
    if(stem IN_LIST framework_core)
      set(rank 10)
    elseif(stem IN_LIST framework_windows)
      set(rank 11)
    else()
      set(rank 12)
    endif()
  elseif(dir STREQUAL "common")
    set(rank 20)
  elseif(dir STREQUAL "imaging")
    set(rank 30)
  elseif(dir STREQUAL "playback")
    if(stem IN_LIST movie_files OR path MATCHES "^playback/movie/")
      set(rank 35)
    elseif(stem IN_LIST mp3_files)
      set(rank 34)
    elseif(stem IN_LIST painter_files)
      set(rank 40)
    else()
      set(rank 60)
    endif()
  elseif(dir STREQUAL "script")
    set(rank 50)
  elseif(dir MATCHES "^(runtime|engine|installer|builder|wizards)$")
    set(rank 70)
  endif()
  set(${out} "${rank}" PARENT_SCOPE)
endfunction()

set(names_10 "the framework core")
set(names_11 "the framework's windows")
set(names_12 "the framework's UI layer")
set(names_20 "the shared utilities")
set(names_30 "imaging")
set(names_35 "the movie player")
set(names_34 "the MP3 player")
set(names_40 "the painter")
set(names_50 "the script model")
set(names_60 "playback")

set(problems "")
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
  "${SOURCE_DIR}/framework/*" "${SOURCE_DIR}/common/*" "${SOURCE_DIR}/imaging/*"
  "${SOURCE_DIR}/playback/*" "${SOURCE_DIR}/script/*" "${SOURCE_DIR}/runtime/*"
  "${SOURCE_DIR}/engine/*" "${SOURCE_DIR}/installer/*" "${SOURCE_DIR}/builder/*"
  "${SOURCE_DIR}/wizards/*")
list(FILTER sources INCLUDE REGEX "\\.(h|cpp|c|rc|in)$")
foreach(file IN LISTS sources)
  layer_rank("${file}" from)
  string(REGEX MATCH "^[^/]+" fromDir "${file}")
  get_filename_component(fromFolder "${file}" DIRECTORY)
  file(STRINGS "${SOURCE_DIR}/${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
    # Quoted includes name a file beside the includer or from the top.
    if(EXISTS "${SOURCE_DIR}/${fromFolder}/${included}")
      set(target "${fromFolder}/${included}")
    else()
      set(target "${included}")
    endif()
    get_filename_component(target "${SOURCE_DIR}/${target}" ABSOLUTE)
    file(RELATIVE_PATH target "${SOURCE_DIR}" "${target}")
    layer_rank("${target}" to)
    if(to STREQUAL "")
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" toDir "${target}")
    if(to GREATER from)
      list(APPEND problems "${file} includes ${target}, a header of ${names_${to}}, a layer above its own")
    elseif(to EQUAL 70 AND NOT toDir STREQUAL fromDir AND
           NOT (fromDir MATCHES "^(builder|wizards)$" AND toDir MATCHES "^(builder|wizards)$"))
      list(APPEND problems "${file} includes ${target}: the ${fromDir} program does not use the ${toDir} program's code")
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Layers: includes point up the layers:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
