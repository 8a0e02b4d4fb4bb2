# Run by `cmake --install` twice, around the installed files (_pw_step "before", then
# "after"), for the Setup component only: it writes the manifest the uninstall program reads,
# and records the installation in the registry.
#
# Set by the install rules: _pw_subdir (lib/pagewright), _pw_used_dirs (every directory the
# files go to, relative to the prefix), _pw_main_program, _pw_regtool.
#
# With DESTDIR (a staged install, for a package or another root) nothing is recorded in the
# registry, and only directories below the prefix count as created: the prefix and its
# parents belong to the system the stage is laid onto.

set(_pw_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(_pw_manifest "${_pw_root}/${_pw_subdir}/install_manifest.txt")
if("$ENV{DESTDIR}" STREQUAL "")
  set(_pw_staged FALSE)
else()
  set(_pw_staged TRUE)
endif()

if(_pw_step STREQUAL "before")
  # The directories about to be used that do not exist yet, each up to the first one that
  # does; "." is the prefix itself, "..", "../.." its parents.
  set(_pw_created_dirs "")
  foreach(_pw_dir IN LISTS _pw_used_dirs)
    set(_pw_path "${_pw_root}/${_pw_dir}")
    set(_pw_rel "${_pw_dir}")
    while(NOT IS_DIRECTORY "${_pw_path}" AND NOT _pw_path STREQUAL "/" AND NOT _pw_path STREQUAL "")
      if(_pw_staged AND (_pw_rel STREQUAL "." OR _pw_rel MATCHES "^\\.\\."))
        break()
      endif()
      list(APPEND _pw_created_dirs "${_pw_rel}")
      get_filename_component(_pw_path "${_pw_path}" DIRECTORY)
      if(_pw_rel MATCHES "/")
        get_filename_component(_pw_rel "${_pw_rel}" DIRECTORY)
      elseif(_pw_rel STREQUAL ".")
        set(_pw_rel "..")
      elseif(_pw_rel MATCHES "^\\.\\.")
        set(_pw_rel "../${_pw_rel}")
      else()
        set(_pw_rel ".")
      endif()
    endwhile()
  endforeach()

  # An earlier installation into the same prefix: what it installed and the directories it
  # created stay listed, so the uninstall removes them too.
  set(_pw_earlier_files "")
  if(EXISTS "${_pw_manifest}")
    file(STRINGS "${_pw_manifest}" _pw_lines)
    foreach(_pw_line IN LISTS _pw_lines)
      if(_pw_line MATCHES "^dir\t(.+)$")
        set(_pw_dir "${CMAKE_MATCH_1}")
        if(NOT (_pw_staged AND (_pw_dir STREQUAL "." OR _pw_dir MATCHES "^\\.\\.")))
          list(APPEND _pw_created_dirs "${_pw_dir}")
        endif()
      elseif(_pw_line MATCHES "^file\t(.+)$")
        list(APPEND _pw_earlier_files "${CMAKE_MATCH_1}")
      endif()
    endforeach()
  endif()
  return()
endif()

set(_pw_final "${CMAKE_INSTALL_PREFIX}/${_pw_subdir}")
set(_pw_program "${_pw_final}/${_pw_main_program}")
set(_pw_uninstall "\"${_pw_final}/pagewright-uninstall\"")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${_pw_final}/install_manifest.txt")

set(_pw_files ${_pw_earlier_files})
set(_pw_dirs ${_pw_created_dirs})
foreach(_pw_file IN LISTS CMAKE_INSTALL_MANIFEST_FILES)
  # Installed paths are listed without DESTDIR (older CMake versions kept it).
  if(_pw_staged)
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
  list(APPEND _pw_files "${_pw_rel}")
  # Every directory inside the installation directory is the installation's own.
  get_filename_component(_pw_parent "${_pw_rel}" DIRECTORY)
  while(_pw_parent MATCHES "^${_pw_subdir}/")
    list(APPEND _pw_dirs "${_pw_parent}")
    get_filename_component(_pw_parent "${_pw_parent}" DIRECTORY)
  endwhile()
endforeach()
list(REMOVE_DUPLICATES _pw_files)
list(REMOVE_DUPLICATES _pw_dirs)

set(_pw_text "prefix\t${CMAKE_INSTALL_PREFIX}\nprogram\t${_pw_program}\nuninstall\t${_pw_uninstall}\n")
foreach(_pw_file IN LISTS _pw_files)
  string(APPEND _pw_text "file\t${_pw_file}\n")
endforeach()
foreach(_pw_dir IN LISTS _pw_dirs)
  string(APPEND _pw_text "dir\t${_pw_dir}\n")
endforeach()
message(STATUS "Installing: ${_pw_manifest}")
file(WRITE "${_pw_manifest}" "${_pw_text}")

if(_pw_staged)
  message(STATUS "Staged in DESTDIR: nothing recorded in the registry")
  return()
endif()
execute_process(COMMAND "${_pw_regtool}" record-install "${_pw_program}" "${_pw_uninstall}"
                RESULT_VARIABLE _pw_result)
if(NOT _pw_result EQUAL 0)
  message(WARNING "The installation could not be recorded in the registry hive.")
else()
  message(STATUS "Recorded in the registry: ${_pw_program}")
endif()
