# What the Windows build adds to the common one: self-contained programs,
# GoogleTest built from its installed sources, and the release zip.

# Everything linked in (libstdc++, libgcc, winpthread), so that each .exe runs
# on a bare Windows without any MinGW DLL beside it.
target_link_options(tintrod_options INTERFACE -static)
# GCC 12 at -O3 sees overlapping copies inside std::string where there are
# none (its bug 105329), and reads and copies past the end in
# std::vector::insert where there are none (its bug 107852); the Linux
# release builds have no -Werror to trip on.
target_compile_options(tintrod_options INTERFACE -Wno-restrict -Wno-array-bounds
  -Wno-stringop-overread -Wno-stringop-overflow)

# Debian's googletest package installs GoogleTest's sources, not Windows libraries.
set(TINTROD_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
function(tintrod_add_cross_googletest)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  # Its project defines the GTest::gtest and GTest::gtest_main the tests link.
  add_subdirectory(${TINTROD_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # Unoptimized, as the tests' own code is: it halves GoogleTest's compile.
  target_compile_options(gtest PRIVATE -O0)
endfunction()

# The zip: the programs at its top, the page when a web build has made it,
# README.txt for Windows users and LICENSE, the manual pages as Windows text.
function(tintrod_add_windows_package)
  foreach(program tintrod tintrod-extract tintrod-prepare)
    if(TARGET ${program})
      install(TARGETS ${program} RUNTIME DESTINATION .)
    endif()
  endforeach()
  # Notepad and every Windows editor show CRLF line ends as written.
  configure_file(${PROJECT_SOURCE_DIR}/docs/windows-readme.txt ${CMAKE_BINARY_DIR}/README.txt
    @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${TINTROD_PAGE_FILE} DESTINATION . OPTIONAL)
  if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
    install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  endif()

  find_program(TINTROD_GROFF groff REQUIRED)
  file(GLOB manual_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/man/*.1)
  set(manual_texts)
  foreach(page ${manual_pages})
    get_filename_component(name ${page} NAME_WE)
    set(text ${CMAKE_BINARY_DIR}/man/${name}.txt)
    add_custom_command(OUTPUT ${text}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -DGROFF=${TINTROD_GROFF} -DPAGE=${page} -DTEXT=${text}
        -P ${PROJECT_SOURCE_DIR}/cmake/windows-manual.cmake
      DEPENDS ${page} ${PROJECT_SOURCE_DIR}/cmake/windows-manual.cmake VERBATIM)
    list(APPEND manual_texts ${text})
  endforeach()
  add_custom_target(tintrod_manual_texts ALL DEPENDS ${manual_texts})
  install(FILES ${manual_texts} DESTINATION manual)

  set(CPACK_GENERATOR ZIP PARENT_SCOPE)
  set(CPACK_PACKAGE_FILE_NAME "tintrod-${PROJECT_VERSION}-windows-x86_64")
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}" PARENT_SCOPE)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON PARENT_SCOPE)
  set(CPACK_STRIP_FILES ON PARENT_SCOPE)
  set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package PARENT_SCOPE)
endfunction()
