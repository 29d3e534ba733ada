# libwebp's decoder as tintrod_webp: Debian's libwebp-dev for the build
# machine. The cross builds read a WebP's header, and so check its limits,
# but refuse its pixels until they link libwebp as well.
add_library(tintrod_webp INTERFACE)
if(CMAKE_CROSSCOMPILING)
  target_compile_definitions(tintrod_webp INTERFACE TINTROD_WEBP=0)
  return()
endif()
find_package(PkgConfig REQUIRED)
pkg_check_modules(TINTROD_LIBWEBP REQUIRED IMPORTED_TARGET libwebp)
target_link_libraries(tintrod_webp INTERFACE PkgConfig::TINTROD_LIBWEBP)
target_compile_definitions(tintrod_webp INTERFACE TINTROD_WEBP=1)
