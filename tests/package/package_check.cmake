# The Debian package as a user gets it: cpack builds it from the build folder, dpkg-deb
# unpacks it into a fresh root, and the unpacked programs run from there with nothing
# beside them. The unpacked tree lies elsewhere than the /usr compiled into the programs,
# so VACUUM_DATA_DIR names its data folder, as for any relocated installation.
#   -DBUILD_DIR=  the build folder   -DOUT=  a scratch folder   -DPREFIX=  install prefix
if(NOT PREFIX STREQUAL "/usr")
  message("SKIP: the build installs under ${PREFIX}; configure with -DCMAKE_INSTALL_PREFIX=/usr")
  # The skip code ctest is told about.
  cmake_language(EXIT 77)
endif()
foreach(tool dpkg-deb lintian)
  find_program(_found_${tool} ${tool})
  if(NOT _found_${tool})
    message("SKIP: ${tool} is not installed (scripts/install-deps.sh installs it)")
    cmake_language(EXIT 77)
  endif()
endforeach()

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT}/root ${OUT}/home)
function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err
                  TIMEOUT 90)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${what}: exit ${rc}\n${out}\n${err}")
  endif()
  set(run_out "${out}" PARENT_SCOPE)
  set(run_err "${err}" PARENT_SCOPE)
endfunction()

# --- build and unpack ---
run("cpack" ${CMAKE_CPACK_COMMAND} -G DEB -B ${OUT}/deb WORKING_DIRECTORY ${BUILD_DIR})
file(GLOB deb ${OUT}/deb/vacuum-designer_*.deb)
list(LENGTH deb count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "cpack wrote ${count} packages: ${deb}")
endif()
run("dpkg-deb -x" dpkg-deb -x ${deb} ${OUT}/root)
run("dpkg-deb -f" dpkg-deb -f ${deb} Package Section Depends)
set(control "${run_out}")

# --- the control fields and the files a user needs ---
if(NOT control MATCHES "Package: vacuum-designer\n" OR NOT control MATCHES "Section: science")
  message(FATAL_ERROR "control fields:\n${control}")
endif()
# Found by dpkg-shlibdeps from the binaries: the Qt libraries and the C++ runtime.
foreach(dep libqt6widgets6 libqt6printsupport6 libstdc\\+\\+6 libc6 fonts-liberation2)
  if(NOT control MATCHES "${dep}")
    message(FATAL_ERROR "Depends lacks ${dep}:\n${control}")
  endif()
endforeach()
set(R ${OUT}/root/usr)
set(expected
    bin/vacuum-designer bin/vacuum-cli bin/vacdb
    share/vacuum-designer/Vacuum.dat share/vacuum-designer/Vacuum.bin
    share/doc/vacuum-designer/examples/glass_plate_rotary.vac
    share/doc/vacuum-designer/examples/steel_sheet_linear.vac
    share/doc/vacuum-designer/examples/aluminium_block_servo.vac
    share/doc/vacuum-designer/copyright
    share/applications/org.example.VacuumDesigner.desktop
    share/metainfo/org.example.VacuumDesigner.metainfo.xml
    share/mime/packages/vacuum-designer.xml
    share/icons/hicolor/scalable/apps/vacuum-designer.svg
    share/man/man1/vacuum-designer.1.gz share/man/man1/vacuum-cli.1.gz share/man/man1/vacdb.1.gz)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/vacuum-designer.png)
endforeach()
foreach(f IN LISTS expected)
  if(NOT EXISTS ${R}/${f})
    message(FATAL_ERROR "the package has no /usr/${f}")
  endif()
endforeach()
# The containers are the ones the build made.
foreach(c Vacuum.dat Vacuum.bin)
  file(SHA256 ${R}/share/vacuum-designer/${c} packaged)
  file(SHA256 ${BUILD_DIR}/bin/${c} built)
  if(NOT packaged STREQUAL built)
    message(FATAL_ERROR "the packaged ${c} is not the one in ${BUILD_DIR}/bin")
  endif()
endforeach()
# Nothing beside the programs: they must find the containers through the data folder.
file(GLOB beside ${R}/bin/*)
list(LENGTH beside count)
if(NOT count EQUAL 3)
  message(FATAL_ERROR "usr/bin holds more than the three programs: ${beside}")
endif()
# The desktop entry opens project files, and the file type names them.
file(READ ${R}/share/applications/org.example.VacuumDesigner.desktop entry)
if(NOT entry MATCHES "\nExec=vacuum-designer %f\n" OR
   NOT entry MATCHES "\nMimeType=application/x-vacuum-project;\n" OR
   NOT entry MATCHES "\nIcon=vacuum-designer\n")
  message(FATAL_ERROR "desktop entry:\n${entry}")
endif()
file(READ ${R}/share/mime/packages/vacuum-designer.xml mime)
if(NOT mime MATCHES "type=\"application/x-vacuum-project\"" OR NOT mime MATCHES "pattern=\"\\*\\.vac\"")
  message(FATAL_ERROR "MIME type:\n${mime}")
endif()

# --- the unpacked programs ---
set(ENV{HOME} ${OUT}/home)
set(ENV{XDG_CONFIG_HOME} ${OUT}/home/config)
set(ENV{LC_ALL} C)
set(ENV{QT_QPA_PLATFORM} offscreen)
set(example ${R}/share/doc/vacuum-designer/examples/glass_plate_rotary.vac)
# Without the variable and with no installed copy the containers are looked for beside the
# program, where there are none.
unset(ENV{VACUUM_DATA_DIR})
if(NOT EXISTS /usr/share/vacuum-designer/Vacuum.dat)
  execute_process(COMMAND ${R}/bin/vacuum-cli design ${example} RESULT_VARIABLE rc
                  OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT 60)
  if(rc EQUAL 0 OR NOT err MATCHES "${R}/bin/Vacuum.dat")
    message(FATAL_ERROR "without a data folder: exit ${rc}, message: ${err}")
  endif()
endif()
set(ENV{VACUUM_DATA_DIR} ${R}/share/vacuum-designer)
run("vacuum-cli design" ${R}/bin/vacuum-cli design ${example})
# The batch design reached the parts list: the same results as the build's own program.
run("vacuum-cli design (build)" ${BUILD_DIR}/bin/vacuum-cli design ${example})
set(reference "${run_out}")
run("vacuum-cli design" ${R}/bin/vacuum-cli design ${example})
string(REPLACE "${R}/share/doc/vacuum-designer/examples/" "" unpacked "${run_out}")
string(REPLACE "${R}/share/doc/vacuum-designer/examples/" "" reference "${reference}")
if(NOT unpacked MATCHES "\nparts_list\\.0\\.order_code\t" OR NOT unpacked STREQUAL reference)
  message(FATAL_ERROR "the unpacked design differs from the build's:\n${unpacked}")
endif()
run("vacuum-cli translate" ${R}/bin/vacuum-cli translate --lang de ~Workpiece)
if(NOT run_out STREQUAL "Werkstück\n")
  message(FATAL_ERROR "translate from the data folder: ${run_out}")
endif()
run("vacdb tables" ${R}/bin/vacdb tables ${R}/share/vacuum-designer/Vacuum.bin)
# The desktop program's screenshot run on the offscreen platform, settings in HOME.
run("vacuum-designer screenshot" ${R}/bin/vacuum-designer /ACCEPT /SCREENSHOT
    /PROJECT=${example} /BITMAP=${OUT}/shot.png /PAGE=3)
file(READ ${OUT}/shot.png magic LIMIT 4 HEX)
if(NOT magic STREQUAL "89504e47")
  message(FATAL_ERROR "the screenshot is no PNG (${magic})")
endif()

# --- lintian: no errors; the warnings left are listed in the README ---
execute_process(COMMAND lintian --fail-on error --display-info --tag-display-limit 0 ${deb}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 90)
message("lintian:\n${out}")
if(NOT rc EQUAL 0 OR out MATCHES "(^|\n)E: ")
  message(FATAL_ERROR "lintian: exit ${rc}\n${out}\n${err}")
endif()
# A hardened build leaves lintian nothing to say about stack protection, fortified calls or
# immediate binding.
if(HARDENED AND out MATCHES "hardening-")
  message(FATAL_ERROR "lintian finds the programs not hardened:\n${out}")
endif()
