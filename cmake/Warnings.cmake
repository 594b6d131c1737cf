# Common compile settings: warnings that matter, and the sanitizers of the
# debug preset. Every target of the project links almanary_options.
add_library(almanary_options INTERFACE)
target_compile_options(almanary_options INTERFACE
  -Wall -Wextra -Wpedantic -Wnon-virtual-dtor -Woverloaded-virtual
  -Wshadow)
if(ALMANARY_WERROR)
  target_compile_options(almanary_options INTERFACE -Werror)
endif()
if(ALMANARY_SANITIZE)
  target_compile_options(almanary_options INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(almanary_options INTERFACE -fsanitize=address,undefined)
endif()
# The fuzz build: every library carries libFuzzer's coverage hooks and both
# sanitizers; the fuzz targets alone link the fuzzer's own main.
if(ALMANARY_BUILD_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (cmake --preset fuzz)")
  endif()
  target_compile_options(almanary_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
    -fno-sanitize-recover=undefined)
  target_link_options(almanary_options INTERFACE -fsanitize=address,undefined)
endif()
# GCC 12 reports -Wrestrict for plain std::string concatenation at -O2 and
# above (a known false positive, fixed in GCC 13); it would fail -Werror.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  target_compile_options(almanary_options INTERFACE -Wno-restrict)
endif()
