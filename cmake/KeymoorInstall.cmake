# The installed layout: the program in bin/, its shared libraries in KEYMOOR_PRIVATE_LIBDIR (set
# before the targets, since their RUNPATH names it: any prefix works and nothing else links them), and
# the desktop integration under share/: desktop entry, AppStream metainfo, icons, MIME types, manual
# page, bash completion and the user's systemd units.
include(GNUInstallDirs)

set(KEYMOOR_APP_ID org.keymoor.Keymoor)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(generated ${CMAKE_BINARY_DIR}/share)

set_target_properties(ZRKit ZRCryptoKit KeymoorPlatform PROPERTIES
    VERSION ${PROJECT_VERSION} SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS keymoor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ZRKit ZRCryptoKit KeymoorPlatform LIBRARY DESTINATION ${KEYMOOR_PRIVATE_LIBDIR} NAMELINK_SKIP)

# The manual page and the completion come from the program's own command tables.
set(generator ${CMAKE_SOURCE_DIR}/cmake/KeymoorGenerateFile.cmake)
add_custom_command(OUTPUT ${generated}/keymoor.1 ${generated}/keymoor.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:keymoor>
            -DARGUMENT=--help-man -DOUTPUT=${generated}/keymoor.1 -DGZIP=ON -P ${generator}
    DEPENDS keymoor ${generator}
    COMMENT "Writing the manual page"
    VERBATIM)
add_custom_command(OUTPUT ${generated}/keymoor.bash
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:keymoor>
            -DARGUMENT=--help-completion -DOUTPUT=${generated}/keymoor.bash -P ${generator}
    DEPENDS keymoor ${generator}
    COMMENT "Writing the bash completion"
    VERBATIM)
add_custom_command(OUTPUT ${generated}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${CMAKE_COMMAND} -DARGUMENT=${packaging}/changelog -DOUTPUT=${generated}/changelog -DGZIP=ON
            -P ${generator}
    DEPENDS ${packaging}/changelog ${generator}
    VERBATIM)
add_custom_target(keymoor_generated_files ALL
    DEPENDS ${generated}/keymoor.1.gz ${generated}/keymoor.bash ${generated}/changelog.gz)

install(FILES ${generated}/keymoor.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${generated}/keymoor.bash DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
    RENAME keymoor)
install(FILES ${packaging}/copyright ${generated}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/keymoor)

install(FILES ${packaging}/${KEYMOOR_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/${KEYMOOR_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${packaging}/${KEYMOOR_APP_ID}.mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME ${KEYMOOR_APP_ID}.xml)
foreach(size 48 64 128 256 512)
    install(FILES ${packaging}/icons/${KEYMOOR_APP_ID}-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${KEYMOOR_APP_ID}.png)
endforeach()
install(FILES ${packaging}/icons/${KEYMOOR_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The user's units (reminders and the like), whichever there are.
file(GLOB systemd_units CONFIGURE_DEPENDS ${packaging}/systemd/*)
if(systemd_units)
    install(FILES ${systemd_units} DESTINATION lib/systemd/user)
endif()
