# libwebp's decoder as tintrod_webp: Debian's libwebp-dev for the build
# machine; for the cross builds, which Debian has no package for, the same
# version's decoder built from Debian's source, without SIMD so that every
# build gives the same pixels, by `scripts/install-deps windows` or `web` into
# build/deps/<toolchain>-webp.
add_library(tintrod_webp INTERFACE)
target_compile_definitions(tintrod_webp INTERFACE TINTROD_WEBP=1)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(TINTROD_LIBWEBP REQUIRED IMPORTED_TARGET libwebp)
  target_link_libraries(tintrod_webp INTERFACE PkgConfig::TINTROD_LIBWEBP)
  return()
endif()

if(EMSCRIPTEN)
  set(toolchain emscripten)
  set(component web)
else()
  set(toolchain mingw-w64)
  set(component windows)
endif()
set(TINTROD_WEBP_PREFIX "${PROJECT_SOURCE_DIR}/build/deps/${toolchain}-webp" CACHE PATH
  "Where libwebp's decoder for the cross build is installed")
find_library(TINTROD_WEBP_LIBRARY NAMES libwebpdecoder.a PATHS "${TINTROD_WEBP_PREFIX}/lib"
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TINTROD_WEBP_LIBRARY OR NOT EXISTS "${TINTROD_WEBP_PREFIX}/include/webp/decode.h")
  message(FATAL_ERROR "no libwebp decoder under ${TINTROD_WEBP_PREFIX}: run scripts/install-deps ${component}")
endif()
target_link_libraries(tintrod_webp INTERFACE "${TINTROD_WEBP_LIBRARY}")
target_include_directories(tintrod_webp SYSTEM INTERFACE "${TINTROD_WEBP_PREFIX}/include")
