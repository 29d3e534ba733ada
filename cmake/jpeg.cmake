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

tintrod_link_cross_library(tintrod_jpeg jpeg jpeglib.h libjpeg-turbo libjpeg.a)
