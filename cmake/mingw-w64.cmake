# Cross-compiling for Windows with mingw-w64. Included by the per-target toolchain files, which
# set PLOTVANE_MINGW_TRIPLE first. The -posix compilers are the ones whose libstdc++ has
# std::thread; everything is linked statically so the programs need no DLLs beside the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${PLOTVANE_MINGW_ARCH})

set(CMAKE_C_COMPILER ${PLOTVANE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLOTVANE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLOTVANE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PLOTVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run through an emulator (Wine); listing their cases when CTest starts rather
# than after every link keeps the build free of Wine's start-up.
if(PLOTVANE_MINGW_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${PLOTVANE_MINGW_EMULATOR})
endif()
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
