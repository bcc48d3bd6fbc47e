# What the desktop, man and the package need beside the programs, made in
# the build folder from the sources under resources/, docs/man/ and
# packaging/:
#  - the AppStream metadata with its screenshot addresses;
#  - the icon in the hicolor sizes, drawn from its SVG;
#  - the manual pages and the package's change log, compressed as Debian
#    wants them (gzip -9n: no name, no time stamp, the same bytes each time).
set(SKFP_APPSTREAM_ID org.fenmarch.skiffpost)
# Software centres load screenshots from the web: the AppStream file names
# each by this address followed by the image's path in the source tree.
set(SKFP_SOURCE_URL "https://skiffpost.example/source" CACHE STRING
    "Web address of the source tree, for the screenshots of the AppStream metadata")
configure_file(${PROJECT_SOURCE_DIR}/resources/${SKFP_APPSTREAM_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${SKFP_APPSTREAM_ID}.metainfo.xml @ONLY)
set(SKFP_ICON_SIZES 16 24 32 48 64 128 256)
set(SKFP_ICON_DIR ${CMAKE_BINARY_DIR}/icons)

find_program(SKFP_RSVG_CONVERT rsvg-convert REQUIRED)
find_program(SKFP_GZIP gzip REQUIRED)

set(svg ${PROJECT_SOURCE_DIR}/resources/icons/skiffpost.svg)
set(made)
foreach(size IN LISTS SKFP_ICON_SIZES)
  set(png ${SKFP_ICON_DIR}/${size}x${size}/skiffpost.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${SKFP_ICON_DIR}/${size}x${size}
    COMMAND ${SKFP_RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${svg}
    DEPENDS ${svg} VERBATIM)
  list(APPEND made ${png})
endforeach()

set(SKFP_MAN_PAGES)
foreach(page skfp.1 skfp-tool.1 skfp-uninstall.1)
  set(gz ${CMAKE_BINARY_DIR}/man/${page}.gz)
  add_custom_command(OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND sh -c "${SKFP_GZIP} -9n -c \"$1\" > \"$2\"" sh ${PROJECT_SOURCE_DIR}/docs/man/${page} ${gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/${page} VERBATIM)
  list(APPEND SKFP_MAN_PAGES ${gz})
  list(APPEND made ${gz})
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${CMAKE_BINARY_DIR}/package-docs/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/package-docs/changelog.gz
  COMMAND sh -c "${SKFP_GZIP} -9n -c \"$1\" > \"$2\"" sh ${CMAKE_BINARY_DIR}/package-docs/changelog
          ${CMAKE_BINARY_DIR}/package-docs/changelog.gz
  DEPENDS ${CMAKE_BINARY_DIR}/package-docs/changelog VERBATIM)
list(APPEND made ${CMAKE_BINARY_DIR}/package-docs/changelog.gz)

add_custom_target(desktop_files ALL DEPENDS ${made})
