# What the main job ships beside the modules (`cmake --install` into dist/<preset>): the offline
# renderer in bin/, and in doc/ the user guide as one HTML page with its pictures inside, the
# licence, the third-party licences and the changelog.
if(TARGET kestrum-render)
  install(TARGETS kestrum-render RUNTIME DESTINATION bin)
endif()

find_program(KESTRUM_PANDOC pandoc)
if(KESTRUM_PANDOC)
  set(guide_html ${PROJECT_BINARY_DIR}/doc/guide.html)
  file(GLOB guide_pictures ${PROJECT_SOURCE_DIR}/docs/*.png ${PROJECT_SOURCE_DIR}/docs/img/*.png)
  add_custom_command(
    OUTPUT ${guide_html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/doc
    COMMAND ${KESTRUM_PANDOC} --standalone --self-contained --resource-path=${PROJECT_SOURCE_DIR}/docs
            --metadata "pagetitle=${KESTRUM_EFFECT_NAME} ${KESTRUM_VERSION_TEXT} user guide"
            ${PROJECT_SOURCE_DIR}/docs/guide.md -o ${guide_html}
    DEPENDS ${PROJECT_SOURCE_DIR}/docs/guide.md ${guide_pictures}
    COMMENT "User guide as HTML"
    VERBATIM)
  add_custom_target(kestrum_guide ALL DEPENDS ${guide_html})
  install(FILES ${guide_html} DESTINATION doc)
else()
  message(STATUS "pandoc not found (Debian package pandoc): the HTML guide is not built")
endif()
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION doc RENAME LICENSE.txt)
install(FILES ${PROJECT_SOURCE_DIR}/docs/third-party-licences.md ${PROJECT_SOURCE_DIR}/CHANGELOG.md DESTINATION doc)
