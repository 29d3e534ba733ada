# A decoding library that Debian packages for the build machine only, linked
# into a cross build from what `scripts/install-deps windows` or `web` built
# from Debian's source into build/deps/<toolchain>-<SUFFIX>.
#   tintrod_link_cross_library(TARGET SUFFIX HEADER DESCRIPTION ARCHIVE...)
# links the static ARCHIVEs, in the order given (a library before those it
# calls), and the prefix's headers into the INTERFACE target TARGET; the
# configure stops, naming the script to run, when any of them is missing.
function(tintrod_link_cross_library target suffix header description)
  if(EMSCRIPTEN)
    set(toolchain emscripten)
    set(component web)
  else()
    set(toolchain mingw-w64)
    set(component windows)
  endif()
  string(TOUPPER "${suffix}" name)
  set(TINTROD_${name}_PREFIX "${PROJECT_SOURCE_DIR}/build/deps/${toolchain}-${suffix}" CACHE PATH
    "Where ${description} for the cross build is installed")
  set(prefix "${TINTROD_${name}_PREFIX}")
  set(archives)
  foreach(archive IN LISTS ARGN)
    string(MAKE_C_IDENTIFIER "TINTROD_${archive}" variable)
    find_library(${variable} NAMES ${archive} PATHS "${prefix}/lib"
      NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT ${variable})
      message(FATAL_ERROR "no ${description} under ${prefix}: run scripts/install-deps ${component}")
    endif()
    list(APPEND archives "${${variable}}")
  endforeach()
  if(NOT EXISTS "${prefix}/include/${header}")
    message(FATAL_ERROR "no ${description} under ${prefix}: run scripts/install-deps ${component}")
  endif()
  target_link_libraries(${target} INTERFACE ${archives})
  target_include_directories(${target} SYSTEM INTERFACE "${prefix}/include")
endfunction()
