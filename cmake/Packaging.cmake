# cpack in the Windows build folder: a ZIP of the program component, with the program and
# Core/AIDefaultConfig.ai at its top, to be unpacked straight into a game's folder.
set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME AIControlPanel)
set(CPACK_PACKAGE_FILE_NAME AIControlPanel-win32)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_COMPONENTS_ALL program)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
