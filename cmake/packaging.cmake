# Release: the version the resources carry, the handbook, and the zip an
# administrator downloads. project(... VERSION) is the one source of the version.

# ---- Version of the resources (about box, version block) ----
configure_file(${PROJECT_SOURCE_DIR}/src/res/version.h.in
  ${PROJECT_BINARY_DIR}/generated/res/version.h @ONLY)
foreach(target pagetrix pagetrix_tests)
  if(TARGET ${target})
    target_include_directories(${target} PRIVATE
      $<$<COMPILE_LANGUAGE:RC>:${PROJECT_BINARY_DIR}/generated>)
  endif()
endforeach()
if(WIN32)
  # Ninja does not see what the resource script includes.
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/res/pagetrix.rc TARGET_DIRECTORY pagetrix
    APPEND PROPERTY OBJECT_DEPENDS ${PROJECT_BINARY_DIR}/generated/res/version.h)
endif()

# ---- The handbook, rendered from Markdown into one HTML file (not built by default) ----
set(HANDBOOK_HTML ${PROJECT_BINARY_DIR}/Handbuch.html)
file(GLOB_RECURSE HANDBOOK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/handbuch/*)
add_custom_command(OUTPUT ${HANDBOOK_HTML}
  COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/render_handbook.py ${HANDBOOK_HTML}
          --version ${PROJECT_VERSION}
  DEPENDS ${HANDBOOK_SOURCES} ${PROJECT_SOURCE_DIR}/tools/render_handbook.py
  COMMENT "Rendering the handbook")
add_custom_target(handbook DEPENDS ${HANDBOOK_HTML})

# ---- The release zip (Windows build): Pagetrix-<version>-win64.zip ----
# tools/package makes the MSI from the unpacked zip (tools/make_msi.py).
if(WIN32)
  configure_file(${PROJECT_SOURCE_DIR}/docs/LIESMICH.txt.in ${PROJECT_BINARY_DIR}/LIESMICH.txt
    @ONLY NEWLINE_STYLE CRLF)
  install(PROGRAMS $<TARGET_FILE:pagetrix> DESTINATION .)
  install(FILES
    ${PROJECT_SOURCE_DIR}/assets/treemenu/treemenu.js
    ${PROJECT_SOURCE_DIR}/assets/treemenu/treemenu.css
    ${PROJECT_BINARY_DIR}/LIESMICH.txt
    ${PROJECT_SOURCE_DIR}/CHANGELOG.md
    ${HANDBOOK_HTML}
    DESTINATION .)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/portal/ DESTINATION Beispielportal)
  # The handbook's examples, to be copied to C:\Beispiele as its first chapter says.
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/handbuch/beispiele/ DESTINATION Beispiele)
  # The example's templates need the menu files beside them, as an administrator's would.
  install(FILES
    ${PROJECT_SOURCE_DIR}/assets/treemenu/treemenu.js
    ${PROJECT_SOURCE_DIR}/assets/treemenu/treemenu.css
    DESTINATION Beispielportal/startseite)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Pagetrix)
  set(CPACK_PACKAGE_VENDOR Pagetrix)
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME Pagetrix-${PROJECT_VERSION}-win64)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
  set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR})
  include(CPack)
endif()
