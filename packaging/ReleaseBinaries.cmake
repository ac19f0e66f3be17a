# The shipped DLLs and programs without debug sections or symbol table:
#   release_binary(<target> <variable>)
# writes build/package/release/<file> (its path into <variable>) and keeps
# what was taken out in build/package/debug/<file>.debug for crash analysis;
# the released file names it in a debug link (.gnu_debuglink, with its
# CRC-32), where GDB and other debuggers look for it. The time stamp of the
# PE header stays 0, as the linker wrote it (objcopy writes the current time
# unless SOURCE_DATE_EPOCH says otherwise).
set(RELEASE_BINARIES_DIR ${CMAKE_BINARY_DIR}/package/release)
set(DEBUG_FILES_DIR ${CMAKE_BINARY_DIR}/package/debug)

function(release_binary target variable)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
  else()
    set(suffix ${CMAKE_SHARED_LIBRARY_SUFFIX})
  endif()
  set(name ${target}${suffix})  # the shipped DLLs are built without the "lib" prefix
  set(released ${RELEASE_BINARIES_DIR}/${name})
  set(debug_file ${DEBUG_FILES_DIR}/${name}.debug)
  set(objcopy ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY})
  add_custom_command(
    OUTPUT ${released} ${debug_file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${RELEASE_BINARIES_DIR} ${DEBUG_FILES_DIR}
    COMMAND ${objcopy} --only-keep-debug $<TARGET_FILE:${target}> ${debug_file}
    COMMAND ${objcopy} --strip-all --add-gnu-debuglink=${debug_file} $<TARGET_FILE:${target}> ${released}
    DEPENDS ${target}
    COMMENT "Stripping ${name} (debug file ${name}.debug)")
  set(${variable} ${released} PARENT_SCOPE)
endfunction()
