# giflib for the browser edition: the encoder of Debian 12's giflib source
# package (the upstream tarball and Debian's security fixes to the library),
# compiled with the engine, so that the page's animations are encoded as
# heatplate-batch encodes its own. The files are fetched from deb.debian.org
# once and checked against the checksums below; a build without network
# takes them from HEATPLATE_GIFLIB_DOWNLOADS, a folder holding both.
set(HEATPLATE_GIFLIB_DOWNLOADS "" CACHE PATH "A folder holding the giflib source files, if not fetched")

set(giflib_pool "https://deb.debian.org/debian/pool/main/g/giflib")
set(giflib_orig giflib_5.2.1.orig.tar.gz)
set(giflib_orig_sha256 31da5562f44c5f15d63340a09a4fd62b48c45620cd302f77a6d9acf0077879bd)
set(giflib_debian giflib_5.2.1-2.5+deb12u1.debian.tar.xz)
set(giflib_debian_sha256 efa4369de943f7918c2b0b049a125268937ab12039ea6ed01d34ab2125def0df)
# Debian's patches that change the files compiled here.
set(giflib_patches CVE-2026-23868.patch CVE-2026-26740.patch)

set(giflib_work ${CMAKE_CURRENT_BINARY_DIR}/giflib)
set(giflib_source ${giflib_work}/giflib-5.2.1)

function(heatplate_fetch_giflib file sha256)
  set(target ${giflib_work}/${file})
  if(EXISTS ${target})
    file(SHA256 ${target} have)
    if(have STREQUAL sha256)
      return()
    endif()
  endif()
  if(HEATPLATE_GIFLIB_DOWNLOADS)
    file(COPY_FILE ${HEATPLATE_GIFLIB_DOWNLOADS}/${file} ${target})
    file(SHA256 ${target} have)
    if(NOT have STREQUAL sha256)
      message(FATAL_ERROR "${HEATPLATE_GIFLIB_DOWNLOADS}/${file}: checksum ${have}, expected ${sha256}")
    endif()
  else()
    message(STATUS "Fetching ${giflib_pool}/${file}")
    file(DOWNLOAD ${giflib_pool}/${file} ${target} EXPECTED_HASH SHA256=${sha256}
         TLS_VERIFY ON STATUS status)
    list(GET status 0 code)
    if(NOT code EQUAL 0)
      message(FATAL_ERROR "Could not fetch ${file}: ${status}")
    endif()
  endif()
endfunction()

if(NOT EXISTS ${giflib_source}/.patched)
  file(MAKE_DIRECTORY ${giflib_work})
  heatplate_fetch_giflib(${giflib_orig} ${giflib_orig_sha256})
  heatplate_fetch_giflib(${giflib_debian} ${giflib_debian_sha256})
  file(REMOVE_RECURSE ${giflib_source} ${giflib_work}/debian)
  file(ARCHIVE_EXTRACT INPUT ${giflib_work}/${giflib_orig} DESTINATION ${giflib_work})
  file(ARCHIVE_EXTRACT INPUT ${giflib_work}/${giflib_debian} DESTINATION ${giflib_work})
  find_program(PATCH_PROGRAM patch REQUIRED)
  foreach(p ${giflib_patches})
    execute_process(COMMAND ${PATCH_PROGRAM} -p1 --quiet -i ${giflib_work}/debian/patches/${p}
                    WORKING_DIRECTORY ${giflib_source} RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "Could not apply Debian's ${p} to giflib")
    endif()
  endforeach()
  file(TOUCH ${giflib_source}/.patched)
endif()

# The encoder and what it needs; no decoder, no quantizer.
add_library(heatplate_giflib STATIC
  ${giflib_source}/egif_lib.c
  ${giflib_source}/gif_err.c
  ${giflib_source}/gif_hash.c
  ${giflib_source}/gifalloc.c
  ${giflib_source}/openbsd-reallocarray.c
)
target_include_directories(heatplate_giflib SYSTEM PUBLIC ${giflib_source})
# Someone else's code: its warnings are not ours to fix.
target_compile_options(heatplate_giflib PRIVATE -w)
