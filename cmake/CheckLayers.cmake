# Fails when an include runs against the layers: the core (src/core) never
# reaches GUI code or Qt; within the core the model is the bottom and the
# printed pages stand on the model and the messages; the painting library
# (src/paint) draws those pages with Qt's painter and knows neither the
# command line nor the windows, which may both use it; within
# the GUI the desktop seams (platform), the skinned look (skins), the
# document session (document), printing (print), the event windows (events),
# the reminders, Internet sharing (share), the skin editor (skineditor, on
# the document session) and the application (app) each use only what lies
# below them; and only
# the application's wiring knows the main window. The programs beside src
# (tests, bench, tools and the fuzz targets in fuzz) stand on top of every
# library and are not checked.
#
#   cmake -DSOURCE_ROOT=<src folder> -P CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT SOURCE_ROOT)
  message(FATAL_ERROR "CheckLayers: give -DSOURCE_ROOT=<the src folder>")
endif()

# A folder and the folders its files may include from, lowest first.
set(allowed_core/model core/model)
set(allowed_core/skins core/model core/skins)
set(allowed_core/app core/model core/app)
set(allowed_core/share core/model core/app core/share)
set(allowed_core/pages core/model core/app core/pages)
set(allowed_core/ical core/model core/app core/ical)
set(core_all core/model core/skins core/app core/share core/pages core/ical)
set(allowed_paint/painting ${core_all} paint/painting)
set(allowed_cli ${core_all} paint/painting cli)
set(allowed_ui/platform ${core_all} paint/painting ui/platform)
set(allowed_ui/skins ${allowed_ui/platform} ui/skins)
set(allowed_ui/document ${allowed_ui/skins} ui/document)
set(allowed_ui/print ${allowed_ui/document} ui/print)
set(allowed_ui/events ${allowed_ui/print} ui/events)
set(allowed_ui/reminders ${allowed_ui/events} ui/reminders)
set(allowed_ui/share ${allowed_ui/reminders} ui/share)
# The skin editor stands on the document session only.
set(allowed_ui/skineditor ${allowed_ui/document} ui/skineditor)
set(allowed_ui/app ${allowed_ui/share} ui/skineditor ui/app)
# The only files that may know the main window.
set(main_window_users ui/app/MainWindow.cpp ui/app/Application.cpp)

# The layer folder of a path relative to SOURCE_ROOT ("ui/events/X.cpp" ->
# "ui/events", "paint/painting/X.h" -> "paint/painting", "cli/X.cpp" ->
# "cli"); empty when it is in none.
function(layer_of relative out)
  if(relative MATCHES "^(core|paint|ui)/([^/]+)/")
    set(${out} "${CMAKE_MATCH_1}/${CMAKE_MATCH_2}" PARENT_SCOPE)
  elseif(relative MATCHES "^cli/")
    set(${out} "cli" PARENT_SCOPE)
  else()
    set(${out} "" PARENT_SCOPE)
  endif()
endfunction()

# The file a quoted include names, relative to SOURCE_ROOT: beside the
# includer first, then under each library's include root.
function(resolve include includer_dir out)
  foreach(base "${includer_dir}" "${SOURCE_ROOT}/core" "${SOURCE_ROOT}/paint" "${SOURCE_ROOT}/ui"
               "${SOURCE_ROOT}/cli")
    if(EXISTS "${base}/${include}")
      file(REAL_PATH "${base}/${include}" found)
      file(RELATIVE_PATH relative "${SOURCE_ROOT}" "${found}")
      set(${out} "${relative}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${out} "" PARENT_SCOPE)
endfunction()

file(REAL_PATH "${SOURCE_ROOT}" SOURCE_ROOT)
file(GLOB_RECURSE sources RELATIVE "${SOURCE_ROOT}" "${SOURCE_ROOT}/*.h" "${SOURCE_ROOT}/*.cpp")
set(problems "")
foreach(source IN LISTS sources)
  layer_of("${source}" layer)
  if(layer STREQUAL "")
    continue()
  endif()
  get_filename_component(dir "${SOURCE_ROOT}/${source}" DIRECTORY)
  file(STRINGS "${SOURCE_ROOT}/${source}" lines REGEX "^[ \t]*#[ \t]*include")
  foreach(line IN LISTS lines)
    if(line MATCHES "#[ \t]*include[ \t]*<(Q[A-Za-z]*)[/>]")
      set(qt_header "${CMAKE_MATCH_1}")
      if(layer MATCHES "^core/" OR layer STREQUAL "cli")
        list(APPEND problems "${source}: Qt header <${qt_header}> outside the GUI")
      endif()
      continue()
    endif()
    if(NOT line MATCHES "#[ \t]*include[ \t]*\"([^\"]+)\"")
      continue()
    endif()
    set(include "${CMAKE_MATCH_1}")
    # Made by the build: dialog layouts and the message list.
    if(include MATCHES "^ui_[A-Za-z]+\\.h$" OR include STREQUAL "messages.def")
      continue()
    endif()
    resolve("${include}" "${dir}" target)
    if(target STREQUAL "")
      list(APPEND problems "${source}: \"${include}\" is in no layer")
      continue()
    endif()
    layer_of("${target}" target_layer)
    if(NOT target_layer IN_LIST allowed_${layer})
      list(APPEND problems "${source}: includes ${target}, above or beside ${layer}")
    elseif(target STREQUAL "ui/app/MainWindow.h" AND NOT source IN_LIST main_window_users
           AND NOT source STREQUAL "ui/app/MainWindow.h")
      list(APPEND problems "${source}: knows the main window (windows take the document session)")
    endif()
  endforeach()
endforeach()

if(problems)
  list(LENGTH problems count)
  list(JOIN problems "\n  " text)
  message(FATAL_ERROR "Includes that run the wrong way (${count}):\n  ${text}")
endif()
