# Puts the page together from the program (chalkmere.js and chalkmere.wasm as linked), the
# page's words in every language (as page_words wrote them) and the page's files and icons.
# The program's two files are named after a hash of their content, so a page can only ever
# load the script and module of one build, whatever a browser's memory cache still holds;
# index.html and the service worker name the same build.
# Every language block but English's (language_packs' <tag>.bin) goes to lang/<tag>.<hash>.bin,
# for the page to fetch when its reader needs it and the service worker to keep.
#   cmake -DSOURCE=<repository> -DPROGRAM=<linked program's folder> -DWORDS=<page_words.cmake>
#         -DPACKS=<language_packs' folder> -DOUTPUT=<page folder> -P page.cmake
file(SHA256 ${PROGRAM}/chalkmere.wasm wasm_hash)
file(SHA256 ${PROGRAM}/chalkmere.js js_hash)
string(SHA256 build "${wasm_hash}${js_hash}")
string(SUBSTRING ${build} 0 16 CHALKMERE_WEB_BUILD)

file(READ ${PROGRAM}/chalkmere.js script)
string(FIND "${script}" "\"chalkmere.wasm\"" at)
if(at EQUAL -1)
  message(FATAL_ERROR "chalkmere.js does not name chalkmere.wasm: the module cannot be renamed")
endif()
string(REPLACE "\"chalkmere.wasm\"" "\"chalkmere.${CHALKMERE_WEB_BUILD}.wasm\"" script "${script}")

# Earlier builds' files go, so the folder holds one build to deploy.
file(GLOB earlier ${OUTPUT}/chalkmere.js ${OUTPUT}/chalkmere.wasm
     ${OUTPUT}/chalkmere.*.js ${OUTPUT}/chalkmere.*.wasm)
list(FILTER earlier EXCLUDE REGEX "/chalkmere\\.${CHALKMERE_WEB_BUILD}\\.(js|wasm)$")
if(earlier)
  file(REMOVE ${earlier})
endif()
file(WRITE ${OUTPUT}/chalkmere.${CHALKMERE_WEB_BUILD}.js "${script}")
configure_file(${PROGRAM}/chalkmere.wasm ${OUTPUT}/chalkmere.${CHALKMERE_WEB_BUILD}.wasm COPYONLY)

file(REMOVE_RECURSE ${OUTPUT}/lang)
file(GLOB packs ${PACKS}/*.bin)
set(CHALKMERE_LANGUAGE_PACKS "")
set(CHALKMERE_LANGUAGE_FILES "")
foreach(pack IN LISTS packs)
  get_filename_component(tag ${pack} NAME_WE)
  file(SHA256 ${pack} pack_hash)
  string(SUBSTRING ${pack_hash} 0 16 pack_hash)
  configure_file(${pack} ${OUTPUT}/lang/${tag}.${pack_hash}.bin COPYONLY)
  string(APPEND CHALKMERE_LANGUAGE_PACKS "\"${tag}\": \"lang/${tag}.${pack_hash}.bin\", ")
  string(APPEND CHALKMERE_LANGUAGE_FILES "  'lang/${tag}.${pack_hash}.bin',\n")
endforeach()
set(CHALKMERE_LANGUAGE_PACKS "{${CHALKMERE_LANGUAGE_PACKS}}")

include(${WORDS})
set(page ${SOURCE}/platform/web/page)
configure_file(${page}/service-worker.js ${OUTPUT}/service-worker.js @ONLY)
configure_file(${page}/index.html ${OUTPUT}/index.html @ONLY)
configure_file(${page}/manifest.webmanifest ${OUTPUT}/manifest.webmanifest COPYONLY)
file(GLOB icons ${SOURCE}/resources/icons/web/*.png)
file(COPY ${icons} ${SOURCE}/resources/icons/hicolor/scalable/apps/chalkmere.svg
     DESTINATION ${OUTPUT}/icons)
