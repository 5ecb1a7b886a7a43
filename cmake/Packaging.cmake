# heatplate as a desktop program: what the two programs learn at build time
# (version, application id, icon). Included once, at the end of the top
# CMakeLists.txt, after the programs' targets exist.
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
target_sources(heatplate PRIVATE ${PROJECT_SOURCE_DIR}/app/desktop_start.cpp)

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
