# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers.
#
# The -posix compilers: the default win32 thread model has no std::thread or
# std::mutex. Everything is linked statically (see the flags below), so the
# executable needs no libstdc++, libgcc or libwinpthread DLL beside it; a
# missing one makes Windows refuse to start it without a word.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DUOBRIK_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DUOBRIK_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DUOBRIK_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${DUOBRIK_MINGW}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")

# Headers, libraries and CMake packages of the target come only from the
# MinGW root and from further roots given with -DCMAKE_FIND_ROOT_PATH (the
# install prefixes of the libraries built for Windows), never from the build
# machine's own /usr; programs are the build machine's.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${DUOBRIK_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
