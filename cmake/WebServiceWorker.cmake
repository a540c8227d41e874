# Writes the page's service worker, SITE/sw.js, from TEMPLATE: the files it
# keeps (FILES, relative to SITE, and the folder itself, which serves
# index.html) and, as its version, a hash of their contents, so that any
# change to the site makes browsers replace what they kept.
#
#   cmake -DSITE=<folder> -DTEMPLATE=<sw.js.in> -DFILES=<a;b;...> -P WebServiceWorker.cmake

set(digests "")
set(quoted "\"./\"")
foreach(file IN LISTS FILES)
  file(SHA256 ${SITE}/${file} digest)
  string(APPEND digests "${file} ${digest}\n")
  string(APPEND quoted ", \"${file}\"")
endforeach()
string(SHA256 site_hash "${digests}")
# 64 bits tell builds apart well enough.
string(SUBSTRING ${site_hash} 0 16 DUOBRIK_SITE_HASH)
set(DUOBRIK_SITE_FILES ${quoted})
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
