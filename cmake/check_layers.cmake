# Fails when a source file under src/ includes a folder of a higher layer.
#   cmake -DSOURCE_DIR=<src> [-DSTAMP=<file>] -P check_layers.cmake
# The layers from the bottom up; folders on one line form one layer and may include each other.
# Every other include must go to a folder on an earlier line.
set(TERRAK_LAYERS
  "common"
  "platform"
  "terrain"
  "mapfile mapfile/ocad6 mapfile/ocad9 mapfile/mapper"
  "heights"
  "mapdraw"
  "grid"
  "export"
  "export/gdal"
  "viewer"
  "mainwindow"
  "cli"
  "platform/qt"
  "grid/ui"
  "viewer/ui"
  "mainwindow/ui")

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
set(index 0)
foreach(line IN LISTS TERRAK_LAYERS)
  string(REPLACE " " ";" folders "${line}")
  foreach(folder IN LISTS folders)
    string(REPLACE "/" "_" key "${folder}")
    set(layer_${key} ${index})
  endforeach()
  math(EXPR index "${index} + 1")
endforeach()

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(faults "")
foreach(file IN LISTS files)
  get_filename_component(folder ${file} DIRECTORY)
  string(REPLACE "/" "_" key "${folder}")
  if(NOT DEFINED layer_${key})
    string(APPEND faults "\n  ${file}: its folder ${folder} is in no layer")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"[^\"]+\"")
  foreach(include IN LISTS includes)
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" target "${include}")
    get_filename_component(target_folder ${target} DIRECTORY)
    string(REPLACE "/" "_" target_key "${target_folder}")
    if(NOT DEFINED layer_${target_key})
      string(APPEND faults "\n  ${file}: includes ${target}, outside every layer")
    elseif(layer_${target_key} GREATER layer_${key})
      string(APPEND faults "\n  ${file}: includes ${target} from the higher layer ${target_folder}")
    endif()
  endforeach()
endforeach()

if(faults)
  message(FATAL_ERROR "Includes against the layers (docs/architecture.md):${faults}")
endif()
if(STAMP)
  file(TOUCH ${STAMP})
endif()
