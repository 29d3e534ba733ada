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

tintrod_link_cross_library(tintrod_webp webp webp/decode.h "libwebp decoder" libwebpdecoder.a)
