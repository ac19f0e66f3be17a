# Lays out the release package and packs it (run by the build):
#   cmake -DENTRIES=<list> -DSTAGING_DIR=<dir> -DPACKAGE_NAME=<name> -DZIP=<zip>
#         -DZIP_PROGRAM=<zip> -DFILE_TIME=<seconds since 1970>
#         [-DSIGN_CERT=<pfx> -DSIGN_TIMESTAMP=<url>] -P MakePackage.cmake
# ENTRIES holds one "<path in the package>|<file>" per line. The folder
# STAGING_DIR/PACKAGE_NAME gets the files (its DLLs and programs signed when
# SIGN_CERT is given) and SHA256SUMS.txt; the ZIP holds that folder. Same
# inputs, same bytes: files in a fixed order, one time, fixed permissions,
# times written in UTC.
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/SignFiles.cmake)

set(package_dir ${STAGING_DIR}/${PACKAGE_NAME})
file(REMOVE_RECURSE ${package_dir})
file(STRINGS ${ENTRIES} entries)

set(paths)
set(sums "")
foreach(entry IN LISTS entries)
  string(REPLACE "|" ";" parts "${entry}")
  list(GET parts 0 path)
  list(GET parts 1 file)
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "package: ${file} is missing (for ${path})")
  endif()
  get_filename_component(folder ${package_dir}/${path} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${file} ${package_dir}/${path})
  list(APPEND paths ${PACKAGE_NAME}/${path})
endforeach()

# Signed before their sums are taken.
set(programs ${paths})
list(FILTER programs INCLUDE REGEX "\\.(dll|exe)$")
list(TRANSFORM programs PREPEND ${STAGING_DIR}/)
sign_files(${programs})

string(LENGTH "${PACKAGE_NAME}/" folder_length)
foreach(path IN LISTS paths)
  file(SHA256 ${STAGING_DIR}/${path} sum)
  string(SUBSTRING ${path} ${folder_length} -1 path_in_package)
  string(APPEND sums "${sum}  ${path_in_package}\n")
endforeach()
file(WRITE ${package_dir}/SHA256SUMS.txt "${sums}")
list(APPEND paths ${PACKAGE_NAME}/SHA256SUMS.txt)

# One time and fixed permissions for every file; zip -X stores no other
# times (access, change) and no owner, -D no folder entries.
set(ENV{TZ} UTC)
foreach(path IN LISTS paths)
  file(CHMOD ${STAGING_DIR}/${path} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
execute_process(COMMAND touch -d @${FILE_TIME} -- ${paths} WORKING_DIRECTORY ${STAGING_DIR} RESULT_VARIABLE touched)
file(REMOVE ${ZIP})
execute_process(COMMAND ${ZIP_PROGRAM} -q -X -D ${ZIP} ${paths} WORKING_DIRECTORY ${STAGING_DIR} RESULT_VARIABLE result)
if(NOT touched EQUAL 0 OR NOT result EQUAL 0)
  message(FATAL_ERROR "package: packing ${ZIP} failed")
endif()
