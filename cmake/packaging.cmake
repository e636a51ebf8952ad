# The Debian package: the three programs, the containers, the example projects and the
# desktop integration (entry, icon, project file type, AppStream metainfo, manual pages).
# `make package` (or `cpack -G DEB` in the build folder) writes
# vacuum-designer_<version>_<arch>.deb into the build folder.

set(_pkg_src ${PROJECT_SOURCE_DIR}/packaging)
set(_pkg_out ${CMAKE_BINARY_DIR}/packaging)
set(VACUUM_PACKAGE_ID org.example.VacuumDesigner)
set(VACUUM_PACKAGE_DATADIR ${CMAKE_INSTALL_DATADIR}/vacuum-designer)
set(VACUUM_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/vacuum-designer)
file(MAKE_DIRECTORY ${_pkg_out})

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "The package installs under ${CMAKE_INSTALL_PREFIX}; a Debian package "
                 "wants -DCMAKE_INSTALL_PREFIX=/usr")
endif()

# --- generated files: compressed manual pages and changelog, the icon's bitmaps ---
set(_pkg_generated)
find_program(GZIP_PROGRAM gzip REQUIRED)
# Compressed as Debian wants them: best compression, no name or time stamp inside.
function(vacuum_gzip_copy in out)
  get_filename_component(_name ${out} NAME_WLE)
  set(_plain ${_pkg_out}/plain/${_name})
  add_custom_command(OUTPUT ${out}
                     COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/plain
                     COMMAND ${CMAKE_COMMAND} -E copy ${in} ${_plain}
                     COMMAND ${GZIP_PROGRAM} -9nf ${_plain}
                     COMMAND ${CMAKE_COMMAND} -E rename ${_plain}.gz ${out}
                     DEPENDS ${in} VERBATIM)
  set(_pkg_generated ${_pkg_generated} ${out} PARENT_SCOPE)
endfunction()

foreach(_page vacuum-designer vacuum-cli vacdb)
  vacuum_gzip_copy(${_pkg_src}/man/${_page}.1 ${_pkg_out}/${_page}.1.gz)
  install(FILES ${_pkg_out}/${_page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

configure_file(${_pkg_src}/changelog.in ${_pkg_out}/changelog @ONLY)
vacuum_gzip_copy(${_pkg_out}/changelog ${_pkg_out}/changelog.gz)

# AppStream wants a web address for the screenshot; until the project publishes one the
# metainfo names the copy the package installs.
set(VACUUM_SCREENSHOT_URL
    "file://${CMAKE_INSTALL_FULL_DATADIR}/vacuum-designer/screenshots/main_window.png"
    CACHE STRING "Address of the main window's screenshot in the AppStream metainfo")
configure_file(${_pkg_src}/${VACUUM_PACKAGE_ID}.metainfo.xml.in
               ${_pkg_out}/${VACUUM_PACKAGE_ID}.metainfo.xml @ONLY)

set(VACUUM_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  foreach(_size IN LISTS VACUUM_ICON_SIZES)
    set(_png ${_pkg_out}/icons/${_size}x${_size}/vacuum-designer.png)
    add_custom_command(OUTPUT ${_png}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/icons/${_size}x${_size}
                       COMMAND ${RSVG_CONVERT} -w ${_size} -h ${_size} -o ${_png}
                               ${_pkg_src}/vacuum-designer.svg
                       DEPENDS ${_pkg_src}/vacuum-designer.svg VERBATIM)
    list(APPEND _pkg_generated ${_png})
    install(FILES ${_png}
            DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${_size}x${_size}/apps)
  endforeach()
else()
  message(WARNING "rsvg-convert (librsvg2-bin) is not installed: the package gets the "
                  "scalable icon only")
endif()
add_custom_target(package_files ALL DEPENDS ${_pkg_generated})

# --- what the package installs ---
install(TARGETS vacuum-designer vacuum-cli vacdb RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The programs read the containers from here when none lie beside them.
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Vacuum.dat ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Vacuum.bin
        DESTINATION ${VACUUM_PACKAGE_DATADIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/main_window.png
        DESTINATION ${VACUUM_PACKAGE_DATADIR}/screenshots)
file(GLOB _examples CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/examples/*.vac)
install(FILES ${_examples} DESTINATION ${VACUUM_PACKAGE_DOCDIR}/examples)
install(FILES ${_pkg_src}/copyright ${_pkg_out}/changelog.gz DESTINATION ${VACUUM_PACKAGE_DOCDIR})
install(FILES ${_pkg_src}/${VACUUM_PACKAGE_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${_pkg_out}/${VACUUM_PACKAGE_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
install(FILES ${_pkg_src}/vacuum-designer-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages RENAME vacuum-designer.xml)
install(FILES ${_pkg_src}/vacuum-designer.svg
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# --- the package ---
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vacuum-designer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_CONTACT "Vacuum Gripper Designer developers <vacuum-designer@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design tool for vacuum grippers")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
     "An engineering tool for vacuum (suction) grippers: describe a workpiece and"
     "its motion, arrange suction cups on it, choose cup, tube and vacuum generator"
     "from a filtered product catalogue, check the drive, see the forces on the"
     "gripper and the load on every cup, and end with a parts list as ERP order"
     "file, CSV file, web-shop form or printed report."
     "Contains the desktop program vacuum-designer, the command-line program"
     "vacuum-cli, the container tool vacdb, the bundled catalogue and example"
     "projects.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The report is printed in the system's Liberation Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
