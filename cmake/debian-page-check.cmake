# Read by cpack as it makes the Debian package, after the build: the page is
# part of what the package promises, so a missing one stops the packing.
if(NOT EXISTS "@TINTROD_PAGE_FILE@")
  message(FATAL_ERROR "the page @TINTROD_PAGE_FILE@ is missing, and the package "
    "must hold it: build it first with scripts/build-web, or name it with "
    "-DTINTROD_PAGE_FILE=PATH")
endif()
