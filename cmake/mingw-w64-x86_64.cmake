# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the POSIX-threads
# flavour, whose libstdc++ has std::thread and std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TINTROD_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TINTROD_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TINTROD_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TINTROD_MINGW_TRIPLE}-windres)

# Headers and libraries come from the MinGW sysroot only: the build machine's
# /usr/include is for Linux and must never be searched.
set(CMAKE_FIND_ROOT_PATH /usr/${TINTROD_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests run the programs under Wine on the build machine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/run-under-wine)
