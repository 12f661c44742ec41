# Release archives made with CPack (`cpack` in a build folder):
#   scenario-<version>-Linux.tar.gz  crea_scenario, its window module
#                                    crea_scenario_fltk.so, and scenario
#   scenario-<version>-win64.zip     crea_scenario.exe and scenario.exe
# each with the README and the LICENSE. The executables sit at the top of the
# archive's folder: the builder writes its files next to itself, so that
# folder is where the scenario appears.
install(TARGETS crea_scenario RUNTIME DESTINATION .)
if(TARGET crea_scenario_fltk)
  # The window module beside the builder, where the builder looks for it.
  install(TARGETS crea_scenario_fltk LIBRARY DESTINATION .)
endif()
if(TARGET scenario)
  install(TARGETS scenario RUNTIME DESTINATION .)
endif()
install(FILES README.md LICENSE DESTINATION .)
# What the README shows and links: its pictures and the format of the sources.
install(FILES docs/linea.png docs/rapporto.png docs/formato.md DESTINATION docs)

set(CPACK_PACKAGE_NAME scenario)
set(CPACK_PACKAGE_VENDOR "The scenario authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Scenario builder for a train-driving simulator, with its companion tool")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
# CPACK_SYSTEM_NAME is "Linux" here and "win64" for the 64-bit Windows build,
# which gives the archive names above.
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
