# Install rules: the game and every asset in share/skarnholt, where the game must run from;
# a launcher in bin that goes there first; a desktop entry and its icons.
# Needs the skarnholt target and SKARNHOLT_ASSETS, so include it after both are defined.
set(SKARNHOLT_PACKAGING_DIR ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS skarnholt RUNTIME DESTINATION share/skarnholt)
install(FILES ${SKARNHOLT_ASSETS} DESTINATION share/skarnholt)
install(PROGRAMS ${SKARNHOLT_PACKAGING_DIR}/skarnholt-launcher.sh
  DESTINATION bin RENAME skarnholt)
install(FILES ${SKARNHOLT_PACKAGING_DIR}/skarnholt.desktop DESTINATION share/applications)
install(DIRECTORY ${SKARNHOLT_PACKAGING_DIR}/icons/ DESTINATION share/icons/hicolor)
