# heatplate as an installed desktop program: what the two programs learn at
# build time (version, application id, icon), the install rules, and the
# Debian package that CPack makes of them. Included once, at the end of the
# top CMakeLists.txt, after the programs' targets exist.
include(GNUInstallDirs)

set(HEATPLATE_APP_ID org.heatplate.Heatplate)
set(HEATPLATE_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)

# The version and the application id reach the code through one generated
# header, so that project(... VERSION ...) stays the only place to change.
configure_file(${CMAKE_CURRENT_LIST_DIR}/version.h.in
  ${PROJECT_BINARY_DIR}/generated/heatplate/version.h @ONLY)
add_library(heatplate_version INTERFACE)
target_include_directories(heatplate_version INTERFACE ${PROJECT_BINARY_DIR}/generated)
target_link_libraries(heatplate-batch PRIVATE heatplate_version)
target_link_libraries(heatplate PRIVATE heatplate_version)

# Installed programs resolve their symbols at start and keep the relocation
# table read-only after that, as Debian's hardening asks.
target_link_options(heatplate PRIVATE LINKER:-z,relro,-z,now)
target_link_options(heatplate-batch PRIVATE LINKER:-z,relro,-z,now)

# Two PNG sizes of the icon built into the window program. An object library,
# so that the resource's registration is linked in whole.
add_library(heatplate_icon OBJECT)
qt_add_resources(heatplate_icon heatplate_icon
  PREFIX /icons
  BASE ${PROJECT_SOURCE_DIR}/data/icons/hicolor
  FILES
    ${PROJECT_SOURCE_DIR}/data/icons/hicolor/32x32/apps/${HEATPLATE_APP_ID}.png
    ${PROJECT_SOURCE_DIR}/data/icons/hicolor/128x128/apps/${HEATPLATE_APP_ID}.png
)
target_link_libraries(heatplate_icon PRIVATE Qt6::Core)
target_link_libraries(heatplate PRIVATE heatplate_icon)

# Manual pages and the changelog go into the package compressed, as Debian
# wants them (gzip -9n: no name, no time stamp, the same bytes every build).
# The manual pages take the version from project() too.
set(HEATPLATE_COMPRESSED)
foreach(page heatplate heatplate-batch)
  configure_file(${HEATPLATE_PACKAGING}/man/${page}.1.in
    ${PROJECT_BINARY_DIR}/packaging/man/${page}.1 @ONLY)
endforeach()
foreach(source ${PROJECT_BINARY_DIR}/packaging/man/heatplate.1
    ${PROJECT_BINARY_DIR}/packaging/man/heatplate-batch.1
    ${HEATPLATE_PACKAGING}/debian/changelog)
  get_filename_component(name ${source} NAME)
  set(gz ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${source} ${gz}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND HEATPLATE_COMPRESSED ${gz})
endforeach()
add_custom_target(heatplate_compressed_docs ALL DEPENDS ${HEATPLATE_COMPRESSED})

# Only the two programs and their data are installed: no tests, benchmarks
# or fuzz targets. Directories made by the install are rwxr-xr-x whatever the
# umask, since the package keeps the permissions it is given.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(TARGETS heatplate heatplate-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${HEATPLATE_PACKAGING}/${HEATPLATE_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${HEATPLATE_PACKAGING}/${HEATPLATE_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/icons/hicolor
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_BINARY_DIR}/packaging/heatplate.1.gz
  ${PROJECT_BINARY_DIR}/packaging/heatplate-batch.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# Bash completion of both programs' options, where bash-completion loads a
# command's completion the first time it is asked for.
install(FILES ${HEATPLATE_PACKAGING}/completion/heatplate
  ${HEATPLATE_PACKAGING}/completion/heatplate-batch
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${HEATPLATE_PACKAGING}/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: bash scripts/package builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME heatplate)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The heatplate developers")
set(CPACK_PACKAGE_CONTACT "The heatplate developers <developers@heatplate.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "transient heat conduction on a square plate")
# The summary above becomes the first line; an empty line parts paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "heatplate solves two-dimensional transient heat conduction on a square plate
with the Explicit or the ADI method and shows the solution while it evolves:
a colour map of the field, an oblique 3-D relief and a residual chart. The
final field is written to results.txt.

heatplate-batch makes the same run without a window, for scripts and for
machines without a display, and can save the three pictures as PNG files.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
