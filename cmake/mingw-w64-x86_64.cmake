# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the -posix compilers, whose
# std::thread works). Programs are linked statically, so each .exe runs without DLLs beside it;
# tests run through Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BRINDLEMARK_MINGW_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${BRINDLEMARK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINDLEMARK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINDLEMARK_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRINDLEMARK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine runs what the build made: the tests, through CTest.
find_program(BRINDLEMARK_WINE NAMES wine wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(BRINDLEMARK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${BRINDLEMARK_WINE})
endif()
