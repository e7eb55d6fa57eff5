# The job editor and the job commands of the main window (edit, new job, favorites-folder
# import). Their decisions (tarvik_jobediting) need no display and are unit-tested on their own.
add_library(tarvik_jobediting STATIC ${CMAKE_CURRENT_LIST_DIR}/job_editing.cpp)
target_include_directories(tarvik_jobediting PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(tarvik_jobediting PUBLIC tarvik_jobfiles tarvik_shortcuts)

if(NOT TARVIK_UNIT_ONLY)
  add_library(tarvik_jobeditor STATIC ${CMAKE_CURRENT_LIST_DIR}/frm_edit_job.cpp
                                      ${CMAKE_CURRENT_LIST_DIR}/job_commands.cpp)
  target_include_directories(tarvik_jobeditor PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(tarvik_jobeditor PUBLIC tarvik_jobediting tarvik_jobfiles tarvik_favorites
                                                tarvik_dialogs PkgConfig::GTKMM)
endif()
