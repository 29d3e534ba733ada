# libheif's decoder (with libde265 for HEVC) as tintrod_heif: Debian's
# libheif-dev for the build machine. The cross builds read a HEIF's boxes,
# and so check its limits, but refuse its pixels.
add_library(tintrod_heif INTERFACE)
if(CMAKE_CROSSCOMPILING)
  target_compile_definitions(tintrod_heif INTERFACE TINTROD_HEIF=0)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(TINTROD_LIBHEIF REQUIRED IMPORTED_TARGET libheif)
target_link_libraries(tintrod_heif INTERFACE PkgConfig::TINTROD_LIBHEIF)
target_compile_definitions(tintrod_heif INTERFACE TINTROD_HEIF=1)
