# Install rules in Debian's games layout, alike for every prefix: the launcher in games/, the
# game in lib/games/skarnholt/, its assets in share/games/skarnholt/, and the menu entry,
# icons, metainfo, manual page, copyright and changelog where desktops and Debian look.
# Needs the skarnholt target and SKARNHOLT_ASSETS, so include it after both are defined.
set(SKARNHOLT_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})
set(SKARNHOLT_APP_ID org.skarnholt.skarnholt)
set(SKARNHOLT_STAGED_DIR ${CMAKE_BINARY_DIR}/packaging)

# Folders made while installing are 0755 whatever the umask of whoever installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Debian wants the manual page and the changelog compressed at the highest level, with no
# name or time stamp inside, so that the same source gives the same file.
function(skarnholt_compressed source name)
  set(copy ${SKARNHOLT_STAGED_DIR}/${name})
  add_custom_command(OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND gzip -9nf ${copy}
    DEPENDS ${source} VERBATIM)
  set(SKARNHOLT_COMPRESSED ${SKARNHOLT_COMPRESSED} ${copy}.gz PARENT_SCOPE)
endfunction()

set(SKARNHOLT_COMPRESSED)
skarnholt_compressed(${SKARNHOLT_PACKAGING_DIR}/skarnholt.6 skarnholt.6)
skarnholt_compressed(${SKARNHOLT_PACKAGING_DIR}/debian/changelog changelog)
add_custom_target(packaging_files ALL DEPENDS ${SKARNHOLT_COMPRESSED})

install(PROGRAMS ${SKARNHOLT_PACKAGING_DIR}/skarnholt-launcher.sh DESTINATION games RENAME skarnholt)
install(TARGETS skarnholt RUNTIME DESTINATION lib/games/skarnholt)
# A plain strip keeps the compiler's .comment section, which Debian's own tools remove too.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/games/skarnholt/skarnholt\" COMMAND_ERROR_IS_FATAL ANY)
  endif()
")
install(FILES ${SKARNHOLT_ASSETS} DESTINATION share/games/skarnholt)
install(DIRECTORY ${SKARNHOLT_PACKAGING_DIR}/icons/ DESTINATION share/icons/hicolor)
install(FILES ${SKARNHOLT_PACKAGING_DIR}/${SKARNHOLT_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${SKARNHOLT_STAGED_DIR}/skarnholt.6.gz DESTINATION share/man/man6)
install(FILES ${SKARNHOLT_PACKAGING_DIR}/debian/copyright ${SKARNHOLT_STAGED_DIR}/changelog.gz
  DESTINATION share/doc/skarnholt)

# The menu entry names the launcher by its full path, known only once the prefix is: a
# desktop session's PATH need not hold the prefix's games/ folder.
set(desktop_entry ${SKARNHOLT_STAGED_DIR}/${SKARNHOLT_APP_ID}.desktop)
install(CODE "
  set(SKARNHOLT_LAUNCHER \"\${CMAKE_INSTALL_PREFIX}/games/skarnholt\")
  configure_file(\"${SKARNHOLT_PACKAGING_DIR}/${SKARNHOLT_APP_ID}.desktop.in\" \"${desktop_entry}\" @ONLY)
  file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/applications\" TYPE FILE FILES \"${desktop_entry}\")
")
