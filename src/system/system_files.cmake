# Class registry and its desktop mirror, file associations, version texts and the help
# (tarvik_system_logic, no display); the version dialog and the menu commands (tarvik_system).

set(TARVIK_HELP_CPP ${CMAKE_CURRENT_BINARY_DIR}/help_html.cpp)
add_custom_command(
  OUTPUT ${TARVIK_HELP_CPP}
  COMMAND ${CMAKE_COMMAND} -DIN=${CMAKE_CURRENT_SOURCE_DIR}/help/Tarvik.html
          -DOUT=${TARVIK_HELP_CPP} -P ${CMAKE_CURRENT_SOURCE_DIR}/embed_help.cmake
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/help/Tarvik.html ${CMAKE_CURRENT_SOURCE_DIR}/embed_help.cmake
  COMMENT "Embedding the help manual")

add_library(tarvik_system_logic STATIC
  class_registry.cpp
  desktop_mirror.cpp
  mod_relation.cpp
  version_info.cpp
  auxiliary.cpp
  ${TARVIK_HELP_CPP})
target_include_directories(tarvik_system_logic PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tarvik_system_logic PUBLIC tarvik_settings tarvik_textfile tarvik_desktop_icons PkgConfig::GLIBMM)

if(NOT TARVIK_UNIT_ONLY)
  add_library(tarvik_system STATIC frm_ver.cpp system_commands.cpp)
  target_include_directories(tarvik_system PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(tarvik_system PUBLIC tarvik_system_logic tarvik_dialogs PkgConfig::GTKMM)
endif()
