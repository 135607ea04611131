# How Vellora is installed under a prefix (/usr for the Debian package): every install rule
# of the project lives here, so the programs' own CMakeLists stay about building.
#
#   <prefix>/lib/vellora/            the programs, side by side (they start each other by folder)
#   <prefix>/bin/vellora, ...        links to the commands a user types
#   <prefix>/lib/systemd/user/       the user units of the services and of --headless
#   <prefix>/share/...               desktop entry, AppStream metainfo, icons, manual pages, docs

set(VELLORA_APP_ID org.vellora.Vellora)
set(VELLORA_RELEASE_DATE 2026-12-08)
set(VELLORA_PROGRAM_DIR lib/vellora)
# The units name the programs by absolute path: the path the package installs them at.
set(VELLORA_PACKAGE_PREFIX /usr)
set(VELLORA_STAGE ${CMAKE_BINARY_DIR}/package)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The main program, its six print helpers, the picture converter and the two services.
set(VELLORA_PROGRAMS vellora pictor docuvan webbin scriblet gridlet slidor picconv
    vellora-convertd vellora-notifyd)
# The ones a user starts by name; the helpers are started by the main program only.
set(VELLORA_COMMANDS vellora vellora-convertd vellora-notifyd)

foreach(program IN LISTS VELLORA_PROGRAMS)
  if(NOT TARGET ${program})
    message(FATAL_ERROR "install: the program ${program} is not built by this tree")
  endif()
endforeach()
install(TARGETS ${VELLORA_PROGRAMS} RUNTIME DESTINATION ${VELLORA_PROGRAM_DIR})

# Relative links, so an unpacked package works wherever it is unpacked.
file(MAKE_DIRECTORY ${VELLORA_STAGE}/bin)
foreach(command IN LISTS VELLORA_COMMANDS)
  file(CREATE_LINK ../${VELLORA_PROGRAM_DIR}/${command} ${VELLORA_STAGE}/bin/${command} SYMBOLIC)
  install(FILES ${VELLORA_STAGE}/bin/${command} DESTINATION bin)
endforeach()

# The body pages' logo is read beside the programs; as architecture-independent data it
# lives under share/, with a link where the programs look for it.
install(FILES main/core/vellora-logo.svg DESTINATION share/vellora)
file(CREATE_LINK ../../share/vellora/vellora-logo.svg ${VELLORA_STAGE}/vellora-logo.svg SYMBOLIC)
install(FILES ${VELLORA_STAGE}/vellora-logo.svg DESTINATION ${VELLORA_PROGRAM_DIR})

# Desktop entry, AppStream metainfo.
install(FILES packaging/vellora.desktop DESTINATION share/applications
        RENAME ${VELLORA_APP_ID}.desktop)
configure_file(packaging/vellora.metainfo.xml.in
               ${VELLORA_STAGE}/${VELLORA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${VELLORA_STAGE}/${VELLORA_APP_ID}.metainfo.xml DESTINATION share/metainfo)

# Icons: the window's own SVG, and PNG sizes rendered from it.
set(VELLORA_ICON_SOURCE ${CMAKE_SOURCE_DIR}/main/forms/resources/vellora.svg)
set(VELLORA_ICON_SIZES 16 22 24 32 48 64 128 256)
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
  message(FATAL_ERROR "install: rsvg-convert (librsvg2-bin) renders the icons; run scripts/setup")
endif()
set(icon_outputs)
foreach(size IN LISTS VELLORA_ICON_SIZES)
  set(png ${VELLORA_STAGE}/icons/${size}x${size}/vellora.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELLORA_STAGE}/icons/${size}x${size}
    COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --format png
            --output ${png} ${VELLORA_ICON_SOURCE}
    DEPENDS ${VELLORA_ICON_SOURCE} VERBATIM)
  list(APPEND icon_outputs ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()
add_custom_target(vellora_icons ALL DEPENDS ${icon_outputs})
install(FILES ${VELLORA_ICON_SOURCE} DESTINATION share/icons/hicolor/scalable/apps)

# Text files that Debian wants compressed: gzip -n keeps the package reproducible.
function(vellora_gzip source output)
  configure_file(${source} ${output} @ONLY)
  execute_process(COMMAND gzip -9nf ${output} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "install: gzip ${output} failed")
  endif()
endfunction()

foreach(page vellora vellora-convertd vellora-notifyd)
  vellora_gzip(packaging/man/${page}.1 ${VELLORA_STAGE}/man/${page}.1)
  install(FILES ${VELLORA_STAGE}/man/${page}.1.gz DESTINATION share/man/man1)
endforeach()

# systemd user units: the services with their programs' folder, and the mode without window.
set(VELLORA_FOLDER ${VELLORA_PACKAGE_PREFIX}/${VELLORA_PROGRAM_DIR})
foreach(unit vellora-convertd vellora-notifyd)
  configure_file(services/systemd/${unit}.service ${VELLORA_STAGE}/units/${unit}.service @ONLY)
  install(FILES ${VELLORA_STAGE}/units/${unit}.service DESTINATION lib/systemd/user)
endforeach()
install(FILES packaging/vellora.service DESTINATION lib/systemd/user)

# Documentation: copyright, changelog and the example files of a setup without window.
set(VELLORA_DOC_DIR share/doc/vellora)
vellora_gzip(packaging/changelog ${VELLORA_STAGE}/doc/changelog)
install(FILES packaging/copyright ${VELLORA_STAGE}/doc/changelog.gz DESTINATION ${VELLORA_DOC_DIR})
install(FILES packaging/vellora.ini.example DESTINATION ${VELLORA_DOC_DIR}/examples
        RENAME vellora.ini)
install(FILES services/systemd/notifyd.conf.example DESTINATION ${VELLORA_DOC_DIR}/examples
        RENAME notifyd.conf)

include(cmake/Package.cmake)
