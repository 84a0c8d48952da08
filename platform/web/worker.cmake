# Writes the page's service worker: platform/web/sw.js with BUILD filled in
# with the page's files, the SHA-256 of each, and the build's version (the
# first 16 digits of the SHA-256 of that list), so that a new build is a new
# worker with a cache of its own.
#
#   cmake -DPAGE=DIR -DWORKER=platform/web/sw.js -DFILES="index.html;..." -P worker.cmake
foreach(name IN LISTS FILES)
    if(NOT EXISTS "${PAGE}/${name}")
        message(FATAL_ERROR "${PAGE}/${name}: no such file for the page's service worker")
    endif()
    file(SHA256 "${PAGE}/${name}" hash)
    string(APPEND list "${name} ${hash}\n")
    list(APPEND entries "\"${name}\": \"${hash}\"")
endforeach()
string(SHA256 version "${list}")
string(SUBSTRING "${version}" 0 16 version)
list(JOIN entries ", " entries)
file(READ "${WORKER}" worker)
string(FIND "${worker}" "/* written by the build */ null" at)
if(at EQUAL -1)
    message(FATAL_ERROR "${WORKER}: no place for the build's list of files")
endif()
string(REPLACE "/* written by the build */ null"
               "{ \"version\": \"${version}\", \"files\": { ${entries} } }" worker "${worker}")
file(WRITE "${PAGE}/sw.js.new" "${worker}")
file(RENAME "${PAGE}/sw.js.new" "${PAGE}/sw.js")
