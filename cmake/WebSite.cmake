# The game as a static web page.
#
# duobrik links to duobrik.js and duobrik.wasm, with the generated data files
# packed into duobrik.data; at start they lie in the root of the page's
# in-memory file system, which is the game's own folder there, so the game
# opens them as on the desktop. The target duobrik-site puts the page
# together in site/: our own index.html, those three files, the icons, the
# web app manifest and the service worker that keeps them all for playing
# offline, and zips the folder into duobrik-<version>-web.zip. The folder
# needs no server of its own: any static web host serves it as it is.

get_property(duobrik_data_files GLOBAL PROPERTY DUOBRIK_DATA_FILES)
set(duobrik_preload "")
foreach(file ${duobrik_data_files})
  get_filename_component(name ${file} NAME)
  list(APPEND duobrik_preload "SHELL:--preload-file ${file}@/${name}")
endforeach()

# Library functions that SDL's JavaScript uses without declaring them; each
# is a name with a '$', which no shell or make may see, so they go in a file.
set(duobrik_js_functions ${CMAKE_BINARY_DIR}/packaging/web-library-functions.json)
# Written only when it changes, so that configuring again does not relink.
file(CONFIGURE OUTPUT ${duobrik_js_functions}
     CONTENT "[\"$autoResumeAudioContext\", \"$dynCall\"]\n" @ONLY)

target_link_options(duobrik PRIVATE
  # OpenGL 1.x immediate mode, emulated on WebGL 1.
  -sLEGACY_GL_EMULATION=1
  # The pictures take a few megabytes of textures in memory; no fixed limit.
  -sALLOW_MEMORY_GROWTH=1
  # Leaving main() ends the run and tells the page (Module.onExit) how.
  -sEXIT_RUNTIME=1
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${duobrik_js_functions}
  ${duobrik_preload})
set_property(TARGET duobrik APPEND PROPERTY LINK_DEPENDS ${duobrik_data_files}
                                                          ${duobrik_js_functions})

set(DUOBRIK_SITE_DIR ${CMAKE_BINARY_DIR}/site)
set(DUOBRIK_SITE_ZIP ${CMAKE_BINARY_DIR}/duobrik-${PROJECT_VERSION}-web.zip)
set(duobrik_page ${PROJECT_SOURCE_DIR}/packaging/web/index.html
                 ${PROJECT_SOURCE_DIR}/packaging/web/manifest.webmanifest)
set(duobrik_worker ${PROJECT_SOURCE_DIR}/packaging/web/sw.js.in)
# The page's icon, and the installed app's at the sizes phones ask for.
set(duobrik_icons ${CMAKE_BINARY_DIR}/art/duobrik-64.png ${CMAKE_BINARY_DIR}/art/duobrik-192.png
                  ${CMAKE_BINARY_DIR}/art/duobrik-512.png)
set(duobrik_built $<TARGET_FILE:duobrik> $<TARGET_FILE_DIR:duobrik>/duobrik.wasm
                  $<TARGET_FILE_DIR:duobrik>/duobrik.data)
# What the service worker keeps: the whole site.
set(duobrik_kept index.html manifest.webmanifest duobrik.js duobrik.wasm duobrik.data
                 duobrik-64.png duobrik-192.png duobrik-512.png)
set(duobrik_site_files ${duobrik_kept} sw.js)
list(TRANSFORM duobrik_site_files PREPEND ${DUOBRIK_SITE_DIR}/ OUTPUT_VARIABLE duobrik_site_paths)

add_custom_command(
  OUTPUT ${duobrik_site_paths} ${DUOBRIK_SITE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DUOBRIK_SITE_DIR} ${DUOBRIK_SITE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DUOBRIK_SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${duobrik_page} ${duobrik_built} ${duobrik_icons}
          ${DUOBRIK_SITE_DIR}
  COMMAND ${CMAKE_COMMAND} -DSITE=${DUOBRIK_SITE_DIR} -DTEMPLATE=${duobrik_worker}
          "-DFILES=${duobrik_kept}" -P ${PROJECT_SOURCE_DIR}/cmake/WebServiceWorker.cmake
  # The archive holds the folder as "duobrik/", ready to unpack on a host.
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/zip
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${DUOBRIK_SITE_DIR} ${CMAKE_BINARY_DIR}/zip/duobrik
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/zip zip -q -r -X ${DUOBRIK_SITE_ZIP} duobrik
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/zip
  DEPENDS duobrik ${duobrik_page} ${duobrik_worker} ${duobrik_icons}
          ${PROJECT_SOURCE_DIR}/cmake/WebServiceWorker.cmake
  COMMENT "Putting the page together in ${DUOBRIK_SITE_DIR}"
  VERBATIM)
add_custom_target(duobrik-site ALL DEPENDS ${duobrik_site_paths} ${DUOBRIK_SITE_ZIP})
