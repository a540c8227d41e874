# The libraries of the Windows build. SDL2 and libmikmod are the static
# builds of scripts/build-deps, found through CMAKE_FIND_ROOT_PATH; OpenGL
# and GLU are Windows' own (opengl32, glu32). The targets carry the names the
# Linux build gets from its finders, so the folders' CMake files serve both.

find_package(SDL2 REQUIRED CONFIG)
if(NOT TARGET SDL2::SDL2-static)
  message(FATAL_ERROR "SDL2 for Windows must be the static library (scripts/build-deps windows)")
endif()
# main() stays the program's entry: SDL's WinMain wrapper is not linked.
set_property(TARGET SDL2::SDL2-static APPEND PROPERTY INTERFACE_COMPILE_DEFINITIONS SDL_MAIN_HANDLED)

find_package(OpenGL REQUIRED COMPONENTS OpenGL)

# libmikmod installs no CMake package; its static library wants MIKMOD_STATIC
# so that its header does not declare DLL imports.
find_path(MIKMOD_INCLUDE_DIR mikmod.h REQUIRED)
find_library(MIKMOD_LIBRARY NAMES libmikmod.a REQUIRED)
add_library(PkgConfig::MIKMOD STATIC IMPORTED)
set_target_properties(PkgConfig::MIKMOD PROPERTIES
  IMPORTED_LOCATION ${MIKMOD_LIBRARY}
  INTERFACE_INCLUDE_DIRECTORIES ${MIKMOD_INCLUDE_DIR}
  INTERFACE_COMPILE_DEFINITIONS MIKMOD_STATIC)

# GL/gl.h includes windows.h here; its min and max macros would break
# std::min and std::max, and the rest of it is not needed.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)
