# The libraries of the browser build. SDL2 and libmikmod are the static
# builds of scripts/build-deps web, found through CMAKE_FIND_ROOT_PATH;
# OpenGL and GLU are Emscripten's emulation of the fixed-function pipeline on
# WebGL, switched on when the game is linked (cmake/WebSite.cmake). The
# targets carry the names the Linux build gets from its finders, so the
# folders' CMake files serve both.

find_package(SDL2 REQUIRED CONFIG)
if(NOT TARGET SDL2::SDL2-static)
  message(FATAL_ERROR "SDL2 for the browser must be the static library (scripts/build-deps web)")
endif()

# Nothing to link: the headers are Emscripten's, and the functions come with
# LEGACY_GL_EMULATION at link time.
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(OpenGL::GLU INTERFACE IMPORTED)

# libmikmod installs no CMake package.
find_path(MIKMOD_INCLUDE_DIR mikmod.h REQUIRED)
find_library(MIKMOD_LIBRARY NAMES libmikmod.a REQUIRED)
add_library(PkgConfig::MIKMOD STATIC IMPORTED)
set_target_properties(PkgConfig::MIKMOD PROPERTIES
  IMPORTED_LOCATION ${MIKMOD_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${MIKMOD_INCLUDE_DIR})

# The page runs on one thread: threads in the browser need a server that
# sends cross-origin isolation headers, which most static hosts do not. The
# game's code still names std::thread (the desktop's mixer), so the target
# exists, without -pthread.
add_library(Threads::Threads INTERFACE IMPORTED)
