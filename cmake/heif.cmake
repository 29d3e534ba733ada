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

# libheif calls into libde265, so it comes first; both are C++, which the
# C++ driver links (statically on Windows, as everything else).
tintrod_link_cross_library(tintrod_heif heif libheif/heif.h libheif libheif.a libde265.a)
