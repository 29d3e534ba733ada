# libjpeg-turbo as tintrod_jpeg: Debian's libjpeg62-turbo-dev for the build
# machine; for the cross builds, which Debian has no package for, the same
# version built from Debian's source by `scripts/install-deps windows` or
# `web` into build/deps/<toolchain>-jpeg.
add_library(tintrod_jpeg INTERFACE)
if(NOT CMAKE_CROSSCOMPILING)
  find_package(JPEG REQUIRED)
  target_link_libraries(tintrod_jpeg INTERFACE JPEG::JPEG)
  return()
endif()

if(EMSCRIPTEN)
  set(toolchain emscripten)
  set(component web)
else()
  set(toolchain mingw-w64)
  set(component windows)
endif()
set(TINTROD_JPEG_PREFIX "${PROJECT_SOURCE_DIR}/build/deps/${toolchain}-jpeg" CACHE PATH
  "Where libjpeg-turbo for the cross build is installed")
find_library(TINTROD_JPEG_LIBRARY NAMES libjpeg.a PATHS "${TINTROD_JPEG_PREFIX}/lib"
  NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT TINTROD_JPEG_LIBRARY OR NOT EXISTS "${TINTROD_JPEG_PREFIX}/include/jpeglib.h")
  message(FATAL_ERROR "no libjpeg-turbo under ${TINTROD_JPEG_PREFIX}: run scripts/install-deps ${component}")
endif()
target_link_libraries(tintrod_jpeg INTERFACE "${TINTROD_JPEG_LIBRARY}")
target_include_directories(tintrod_jpeg SYSTEM INTERFACE "${TINTROD_JPEG_PREFIX}/include")
