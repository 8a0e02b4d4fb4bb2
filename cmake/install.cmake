# `cmake --install` (make install): the programs and their data in <prefix>/lib/pagewright,
# links to the programs in <prefix>/bin, a desktop entry and an icon when the window is built,
# and an uninstall script beside the programs. The installation is recorded in the installing
# user's registry hive ($PAGEWRIGHT_REGISTRY, else ~/.config/pagewright/registry.reg): App
# Paths names the installed program, uninstall slot 1 names the uninstall script, which is
# what unpage starts. Works with DESTDIR: files go under the staging root, the records name
# the final paths.

set(PW_INSTALL_SUBDIR lib/pagewright)

set(pw_programs unpage pagewright-regtool)
foreach(program pagewright-cli pagewright)
  if(TARGET ${program})
    list(APPEND pw_programs ${program})
  endif()
endforeach()
# The program App Paths names; the installation directory is its directory part.
if(TARGET pagewright)
  set(pw_main_program pagewright)
elseif(TARGET pagewright-cli)
  set(pw_main_program pagewright-cli)
else()
  set(pw_main_program unpage)
endif()

# Before anything is installed: note which of the directories about to be used do not exist
# yet (up to the first that does), so the uninstall script removes only those it created.
set(pw_used_dirs bin ${PW_INSTALL_SUBDIR})
if(TARGET pagewright)
  list(APPEND pw_used_dirs share/applications share/icons/hicolor/scalable/apps)
endif()
install(CODE "set(_pw_used_dirs \"${pw_used_dirs}\")")
install(CODE [[
  set(_pw_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(_pw_created_dirs "")
  foreach(_pw_dir IN LISTS _pw_used_dirs)
    set(_pw_path "${_pw_root}/${_pw_dir}")
    set(_pw_rel "${_pw_dir}")
    set(_pw_up "")
    while(NOT IS_DIRECTORY "${_pw_path}" AND NOT _pw_path STREQUAL "/" AND NOT _pw_path STREQUAL "")
      list(APPEND _pw_created_dirs "${_pw_rel}")
      get_filename_component(_pw_path "${_pw_path}" DIRECTORY)
      if(_pw_rel MATCHES "/")
        get_filename_component(_pw_rel "${_pw_rel}" DIRECTORY)
      elseif(_pw_rel STREQUAL "." OR _pw_rel MATCHES "^\\.\\.")
        if(_pw_rel STREQUAL ".")
          set(_pw_rel "..")
        else()
          set(_pw_rel "../${_pw_rel}")
        endif()
      else()
        set(_pw_rel ".")
      endif()
    endwhile()
  endforeach()
]])

install(TARGETS ${pw_programs} RUNTIME DESTINATION ${PW_INSTALL_SUBDIR})
install(PROGRAMS ${CMAKE_SOURCE_DIR}/uninstall/pagewright-uninstall.sh
        DESTINATION ${PW_INSTALL_SUBDIR} RENAME pagewright-uninstall)

# The sample files, pictures and help pages, as data/ holds them.
file(REAL_PATH ${CMAKE_SOURCE_DIR}/data pw_data_dir)
install(DIRECTORY ${pw_data_dir}/ DESTINATION ${PW_INSTALL_SUBDIR}
        PATTERN "desktop" EXCLUDE)

# Relative links in <prefix>/bin, made in the build tree and installed as links.
set(pw_link_dir ${CMAKE_BINARY_DIR}/install-links)
file(MAKE_DIRECTORY ${pw_link_dir})
foreach(program unpage pagewright-cli pagewright)
  if(TARGET ${program})
    file(CREATE_LINK ../${PW_INSTALL_SUBDIR}/${program} ${pw_link_dir}/${program} SYMBOLIC)
    install(FILES ${pw_link_dir}/${program} DESTINATION bin)
  endif()
endforeach()

if(TARGET pagewright)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/pagewright.desktop
          DESTINATION share/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/pagewright.svg
          DESTINATION share/icons/hicolor/scalable/apps)
endif()

# Last: the manifest the uninstall script reads (every file installed so far, itself included,
# and the created directories deepest first), then the registry records.
install(CODE "set(_pw_regtool \"$<TARGET_FILE:pagewright-regtool>\")
              set(_pw_main_program \"${pw_main_program}\")
              set(_pw_subdir \"${PW_INSTALL_SUBDIR}\")
              set(_pw_data_dir \"${pw_data_dir}\")")
install(CODE [[
  set(_pw_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(_pw_final "${CMAKE_INSTALL_PREFIX}/${_pw_subdir}")
  set(_pw_manifest "${_pw_root}/${_pw_subdir}/install_manifest.txt")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/${_pw_subdir}/install_manifest.txt")
  list(REMOVE_DUPLICATES CMAKE_INSTALL_MANIFEST_FILES)

  set(_pw_program "${_pw_final}/${_pw_main_program}")
  set(_pw_uninstall "\"${_pw_final}/pagewright-uninstall\"")
  set(_pw_text "prefix\t${CMAKE_INSTALL_PREFIX}\nprogram\t${_pw_program}\nuninstall\t${_pw_uninstall}\n")
  set(_pw_dirs ${_pw_created_dirs})
  foreach(_pw_file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
    # Installed paths are listed without DESTDIR (older CMake versions kept it).
    if(NOT "$ENV{DESTDIR}" STREQUAL "")
      string(FIND "${_pw_file}" "$ENV{DESTDIR}" _pw_at)
      if(_pw_at EQUAL 0)
        string(LENGTH "$ENV{DESTDIR}" _pw_length)
        string(SUBSTRING "${_pw_file}" ${_pw_length} -1 _pw_file)
      endif()
    endif()
    file(RELATIVE_PATH _pw_rel "${CMAKE_INSTALL_PREFIX}" "${_pw_file}")
    if(_pw_rel MATCHES "^\\.\\./" OR IS_ABSOLUTE "${_pw_rel}")
      continue()
    endif()
    string(APPEND _pw_text "file\t${_pw_rel}\n")
    # Every directory inside the installation directory is the installation's own.
    get_filename_component(_pw_parent "${_pw_rel}" DIRECTORY)
    while(_pw_parent MATCHES "^${_pw_subdir}/")
      list(APPEND _pw_dirs "${_pw_parent}")
      get_filename_component(_pw_parent "${_pw_parent}" DIRECTORY)
    endwhile()
  endforeach()
  # The data directories, empty ones included, as install(DIRECTORY) made them.
  file(GLOB_RECURSE _pw_data_entries LIST_DIRECTORIES true RELATIVE "${_pw_data_dir}"
       "${_pw_data_dir}/*")
  foreach(_pw_entry IN LISTS _pw_data_entries)
    if(IS_DIRECTORY "${_pw_data_dir}/${_pw_entry}" AND NOT _pw_entry MATCHES "(^|/)desktop(/|$)")
      list(APPEND _pw_dirs "${_pw_subdir}/${_pw_entry}")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES _pw_dirs)

  # Deepest first: "a/b/c" has depth 3, "." 0, ".." -1, "../.." -2.
  set(_pw_by_depth "")
  foreach(_pw_depth RANGE 64)
    math(EXPR _pw_want "32 - ${_pw_depth}")
    foreach(_pw_dir IN LISTS _pw_dirs)
      if(_pw_dir STREQUAL ".")
        set(_pw_d 0)
      elseif(_pw_dir MATCHES "^\\.\\.(/\\.\\.)*$")
        string(REGEX MATCHALL "\\.\\." _pw_parts "${_pw_dir}")
        list(LENGTH _pw_parts _pw_d)
        math(EXPR _pw_d "0 - ${_pw_d}")
      else()
        string(REGEX MATCHALL "/" _pw_parts "${_pw_dir}")
        list(LENGTH _pw_parts _pw_d)
        math(EXPR _pw_d "${_pw_d} + 1")
      endif()
      if(_pw_d EQUAL _pw_want)
        string(APPEND _pw_text "dir\t${_pw_dir}\n")
      endif()
    endforeach()
  endforeach()

  message(STATUS "Installing: ${_pw_manifest}")
  file(WRITE "${_pw_manifest}" "${_pw_text}")

  execute_process(COMMAND "${_pw_regtool}" record-install "${_pw_program}" "${_pw_uninstall}"
                  RESULT_VARIABLE _pw_result)
  if(NOT _pw_result EQUAL 0)
    message(WARNING "The installation could not be recorded in the registry hive.")
  else()
    message(STATUS "Recorded in the registry: ${_pw_program}")
  endif()
]])
