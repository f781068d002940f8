# The layers of the code and the one direction of their dependencies.
# Every layer is a folder; the framework's folder holds three, one per
# library, and the wizards' folder holds the output writer's library below
# the builder's UI kit. A file may include headers of its own layer and of
# layers below it. The programs are peers: none includes another's code.
# The builder is one program in four layers: the output writer, the UI kit
# (builder/controls), the wizards and the application.
#
# Run at build time (cmake -P) over every file of the layers' folders and
# every file a library or program of them lists; fails the build on the
# first include that points up, naming both files, and on a file in no
# layer: in a folder without a rank, or in the framework's folder but
# listed by none of its libraries.
#
#   cmake -DSOURCE_DIR=<top> -DSOURCE_LISTS=<dir> -DSTAMP=<file> -P CheckLayers.cmake
#
# SOURCE_LISTS holds <target>.txt for each library and program of the
# layers, its files from the top, one a line (written by the build, see
# lw_write_source_lists in CMakeLists.txt).
cmake_minimum_required(VERSION 3.25)

set(layer_folders "")
# layer(RANK FOLDER NAME [PROGRAM program] [LIBRARIES target...]): the
# folder's files (or, with LIBRARIES, those the libraries list) have the
# rank; NAME is how the messages call the layer, PROGRAM the program whose
# code it is. A folder with library layers and no rank of its own holds
# only what its libraries list.
function(layer rank folder name)
  cmake_parse_arguments(L "" "PROGRAM" "LIBRARIES" ${ARGN})
  set(layer_folders ${layer_folders} "${folder}" PARENT_SCOPE)
  if(L_LIBRARIES)
    foreach(library IN LISTS L_LIBRARIES)
      file(STRINGS "${SOURCE_LISTS}/${library}.txt" files)
      foreach(file IN LISTS files)
        set(rank_of_${file} ${rank} PARENT_SCOPE)
        set(name_of_${file} "${name}" PARENT_SCOPE)
        set(program_of_${file} "${L_PROGRAM}" PARENT_SCOPE)
      endforeach()
    endforeach()
    set(split_${folder} TRUE PARENT_SCOPE)
  else()
    set(rank_in_${folder} ${rank} PARENT_SCOPE)
    set(name_in_${folder} "${name}" PARENT_SCOPE)
    set(program_in_${folder} "${L_PROGRAM}" PARENT_SCOPE)
  endif()
endfunction()

# Bottom to top.
layer(10 framework "the framework core" LIBRARIES framework_core framework_terminate)
layer(11 framework "the framework's windows" LIBRARIES framework_win)
layer(12 framework "the framework's UI layer" LIBRARIES framework_ui)
layer(20 common "the shared utilities")
layer(30 imaging "imaging")
layer(34 playback/mp3 "the MP3 player")
# The movie player decodes its MP3 sound as the MP3 player does.
layer(35 playback/movie "the movie player")
layer(40 playback/painter "the painter")
layer(50 script "the script model")
layer(60 playback "the scene thread and players")
# The programs.
layer(70 runtime "the saver runtime" PROGRAM Halcyra)
layer(70 engine "the movie engine" PROGRAM Emberlyn)
layer(70 installer "the installer stub" PROGRAM Quenlark)
layer(70 wizards "the output writer" PROGRAM Lumenweave LIBRARIES saver_writer)
layer(71 builder/controls "the builder's UI kit" PROGRAM Lumenweave)
layer(72 wizards "the wizards" PROGRAM Lumenweave)
layer(73 builder "the builder's application" PROGRAM Lumenweave)

set(problems "")
# Sets <rank>, <name> and <program> to the layer of a file (a path from the
# top), or <rank> to "" for a file in no layer, with the reason in <why>.
function(layer_of file rank name program why)
  get_filename_component(folder "${file}" DIRECTORY)
  set(r "")
  set(n "")
  set(p "")
  set(reason "")
  if(DEFINED rank_of_${file})
    set(r ${rank_of_${file}})
    set(n "${name_of_${file}}")
    set(p "${program_of_${file}}")
  elseif(DEFINED rank_in_${folder})
    set(r ${rank_in_${folder}})
    set(n "${name_in_${folder}}")
    set(p "${program_in_${folder}}")
  elseif(split_${folder})
    set(reason "no library of ${folder}/ lists it (${folder}/CMakeLists.txt)")
  else()
    set(reason "its folder ${folder}/ is no layer (cmake/CheckLayers.cmake)")
  endif()
  set(${rank} "${r}" PARENT_SCOPE)
  set(${name} "${n}" PARENT_SCOPE)
  set(${program} "${p}" PARENT_SCOPE)
  set(${why} "${reason}" PARENT_SCOPE)
endfunction()

# The files of the layers: what their top folders hold, and what their
# libraries and programs list wherever it lies.
set(tops "")
foreach(folder IN LISTS layer_folders)
  string(REGEX MATCH "^[^/]+" top "${folder}")
  list(APPEND tops "${SOURCE_DIR}/${top}/*")
endforeach()
list(REMOVE_DUPLICATES tops)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" ${tops})
file(GLOB lists "${SOURCE_LISTS}/*.txt")
foreach(list IN LISTS lists)
  file(STRINGS "${list}" listed)
  list(APPEND sources ${listed})
endforeach()
list(FILTER sources INCLUDE REGEX "\\.(h|cpp|c|rc|in)$")
list(REMOVE_DUPLICATES sources)
list(SORT sources)

foreach(file IN LISTS sources)
  layer_of("${file}" from fromName fromProgram why)
  if(from STREQUAL "")
    list(APPEND problems "${file} is in no layer: ${why}")
    continue()
  endif()
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
    layer_of("${target}" to toName toProgram why)
    # Outside the layers (tests, tools, the build's own files).
    if(to STREQUAL "")
      continue()
    endif()
    if(to GREATER from)
      list(APPEND problems
           "${file} includes ${target}, a header of ${toName}, a layer above ${fromName}")
    elseif(NOT toProgram STREQUAL "" AND NOT toProgram STREQUAL fromProgram)
      list(APPEND problems
           "${file} includes ${target}: ${fromProgram} does not use ${toProgram}'s code")
    endif()
  endforeach()
endforeach()

if(problems)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Layers: a file in no layer, or an include that points up:\n  ${text}")
endif()
file(TOUCH "${STAMP}")
