# Puts the page together beside chalkmere.js and chalkmere.wasm: the page's files, and the
# icons. The service worker's cache is named after a hash of the program, so each new build
# is fetched whole instead of one file of it mixing with another build's.
#   cmake -DSOURCE=<repository> -DOUTPUT=<page folder> -P page.cmake
file(SHA256 ${OUTPUT}/chalkmere.wasm wasm_hash)
file(SHA256 ${OUTPUT}/chalkmere.js js_hash)
string(SHA256 build "${wasm_hash}${js_hash}")
string(SUBSTRING ${build} 0 16 CHALKMERE_WEB_BUILD)

set(page ${SOURCE}/platform/web/page)
configure_file(${page}/service-worker.js ${OUTPUT}/service-worker.js @ONLY)
configure_file(${page}/index.html ${OUTPUT}/index.html COPYONLY)
configure_file(${page}/manifest.webmanifest ${OUTPUT}/manifest.webmanifest COPYONLY)
file(GLOB icons ${SOURCE}/resources/icons/web/*.png)
file(COPY ${icons} ${SOURCE}/resources/icons/hicolor/scalable/apps/chalkmere.svg
     DESTINATION ${OUTPUT}/icons)
