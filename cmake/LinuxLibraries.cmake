# libmikmod of the Linux build: the static library that scripts/build-deps
# makes from Debian's source package with our fixes (patches/libmikmod), as
# for Windows and the browser, so that every platform plays modules through
# the same mended code and the Debian package needs no libmikmod3. The
# sanitizer and fuzzing builds get a libmikmod built with the same
# instrumentation, so that a read out of bounds inside the library is caught
# there too. SDL2 and OpenGL are Debian's.
#
# DUOBRIK_MIKMOD_PREFIX names a prefix that holds lib/libmikmod.a and
# include/mikmod.h instead (no build then).

set(DUOBRIK_MIKMOD_PREFIX "" CACHE PATH "Prefix of a static libmikmod to use (default: scripts/build-deps)")

if(DUOBRIK_MIKMOD_PREFIX)
  set(mikmod_prefix ${DUOBRIK_MIKMOD_PREFIX})
else()
  if(DUOBRIK_FUZZ)
    set(mikmod_flavour linux-fuzz)
  elseif(DUOBRIK_SANITIZE)
    set(mikmod_flavour linux-asan)
  else()
    set(mikmod_flavour linux)
  endif()
  # Quick once built: the prefix is cached per version, recipe and patches.
  # The library is compiled by this build's C compiler, whose sanitizer
  # run-time it then shares.
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env CC=${CMAKE_C_COMPILER}
            ${PROJECT_SOURCE_DIR}/scripts/build-deps ${mikmod_flavour}
    OUTPUT_VARIABLE mikmod_prefix
    OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE mikmod_result)
  if(NOT mikmod_result EQUAL 0)
    message(FATAL_ERROR "libmikmod could not be built (scripts/build-deps ${mikmod_flavour})")
  endif()
  # A changed patch or recipe builds the library again at the next build.
  file(GLOB mikmod_patches CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/patches/libmikmod/*.patch)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                                         ${PROJECT_SOURCE_DIR}/scripts/build-deps ${mikmod_patches})
endif()

set(mikmod_library ${mikmod_prefix}/lib/libmikmod.a)
if(NOT EXISTS ${mikmod_library} OR NOT EXISTS ${mikmod_prefix}/include/mikmod.h)
  message(FATAL_ERROR "no static libmikmod in '${mikmod_prefix}'")
endif()
find_package(Threads REQUIRED)
add_library(PkgConfig::MIKMOD STATIC IMPORTED)
set_target_properties(PkgConfig::MIKMOD PROPERTIES
  IMPORTED_LOCATION ${mikmod_library}
  INTERFACE_INCLUDE_DIRECTORIES ${mikmod_prefix}/include
  INTERFACE_LINK_LIBRARIES "Threads::Threads;m")
# Linked into the game, so its licence travels in the package.
set(DUOBRIK_MIKMOD_LICENCE ${mikmod_prefix}/share/licenses/libmikmod.txt)
