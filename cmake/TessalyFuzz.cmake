# TessalyFuzz.cmake: libFuzzer builds (clang only) and instrumented copies of the project's libraries.

# Fuzzing needs libFuzzer, which only clang brings; other compilers build the replay tests only.
if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  set(_tessaly_fuzz_default ON)
else()
  set(_tessaly_fuzz_default OFF)
endif()
option(TESSALY_BUILD_FUZZ "Build the libFuzzer targets (clang only)" ${_tessaly_fuzz_default})
if(TESSALY_BUILD_FUZZ AND NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(WARNING "TESSALY_BUILD_FUZZ needs clang (libFuzzer); the fuzz targets are left out")
  set(TESSALY_BUILD_FUZZ OFF CACHE BOOL "Build the libFuzzer targets (clang only)" FORCE)
endif()

# Coverage instrumentation for libFuzzer plus the sanitizers every fuzz target runs under.
# Undefined behaviour stops at once, so the fuzzer saves the input instead of running on.
set(TESSALY_FUZZ_COMPILE_FLAGS
  -fsanitize=fuzzer-no-link,address,undefined
  -fno-sanitize-recover=undefined
  -fno-omit-frame-pointer
  -g)
set(TESSALY_FUZZ_LINK_FLAGS -fsanitize=fuzzer,address,undefined)

# tessaly_fuzz_copy(NEW ORIGINAL [LIBS ...]): a static library built from ORIGINAL's sources,
# include directories and definitions with the fuzz instrumentation, linked to LIBS instead of
# ORIGINAL's own libraries. The ordinary targets stay as they are, so one clang build tree
# holds both.
function(tessaly_fuzz_copy new original)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  get_target_property(sources ${original} SOURCES)
  get_target_property(dir ${original} SOURCE_DIR)
  set(absolute)
  foreach(source IN LISTS sources)
    if(source MATCHES "^\\$<")
      continue()
    endif()
    cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY "${dir}" OUTPUT_VARIABLE path)
    list(APPEND absolute "${path}")
  endforeach()
  add_library(${new} STATIC ${absolute})
  target_include_directories(${new} PUBLIC $<TARGET_PROPERTY:${original},INCLUDE_DIRECTORIES>)
  target_compile_definitions(${new} PUBLIC $<TARGET_PROPERTY:${original},COMPILE_DEFINITIONS>)
  target_compile_options(${new} PRIVATE ${TESSALY_FUZZ_COMPILE_FLAGS})
  target_link_libraries(${new} PUBLIC ${ARG_LIBS})
endfunction()
