# libheif, with libde265 for HEVC, as tintrod_heif: Debian's libheif-dev for
# the build machine; for the cross builds, which Debian has no package for,
# the same versions built from Debian's source, static, HEVC through libde265
# alone and its loop filters on in every build, by `scripts/install-deps
# windows` or `web` into build/deps/<toolchain>-heif.
add_library(tintrod_heif INTERFACE)
target_compile_definitions(tintrod_heif INTERFACE TINTROD_HEIF=1)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TINTROD_LIBHEIF IMPORTED_TARGET libheif)
  if(NOT TINTROD_LIBHEIF_FOUND)
    message(FATAL_ERROR "no libheif (libheif-dev): run scripts/install-deps")
  endif()
  target_link_libraries(tintrod_heif INTERFACE PkgConfig::TINTROD_LIBHEIF)
  return()
endif()

if(EMSCRIPTEN)
  set(toolchain emscripten)
  set(component web)
else()
  set(toolchain mingw-w64)
  set(component windows)
endif()
set(TINTROD_HEIF_PREFIX "${PROJECT_SOURCE_DIR}/build/deps/${toolchain}-heif" CACHE PATH
  "Where libheif and libde265 for the cross build are installed")
find_library(TINTROD_HEIF_LIBRARY NAMES libheif.a PATHS "${TINTROD_HEIF_PREFIX}/lib"
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
find_library(TINTROD_DE265_LIBRARY NAMES libde265.a PATHS "${TINTROD_HEIF_PREFIX}/lib"
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TINTROD_HEIF_LIBRARY OR NOT TINTROD_DE265_LIBRARY OR
   NOT EXISTS "${TINTROD_HEIF_PREFIX}/include/libheif/heif.h")
  message(FATAL_ERROR "no libheif under ${TINTROD_HEIF_PREFIX}: run scripts/install-deps ${component}")
endif()
# libheif calls into libde265, so it comes first; both are C++, which the
# C++ driver links (statically on Windows, as everything else).
target_link_libraries(tintrod_heif INTERFACE "${TINTROD_HEIF_LIBRARY}" "${TINTROD_DE265_LIBRARY}")
target_include_directories(tintrod_heif SYSTEM INTERFACE "${TINTROD_HEIF_PREFIX}/include")
