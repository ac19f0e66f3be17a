# Builds the Windows Installer package from the laid-out release package
# (run by the build after MakePackage.cmake):
#   cmake -DSETTINGS=<installer-settings.cmake> -DPACKAGE_DIR=<folder>
#         -DINCLUDE_DIR=<folder with ComRegistration.wxi> -DMSI=<output>
#         [-DSIGN_CERT=<pfx> -DSIGN_TIMESTAMP=<url>] -P MakeInstaller.cmake
# SETTINGS, written by the build, sets what the package is made of: ENTRIES
# (the release package's file list, "<path in the package>|<file>" per
# line), ZIP_ONLY (the paths the installer leaves out, separated by commas),
# COM_SERVER (the DLL whose component carries the rows of
# ComRegistration.wxi), WXS, VERSION, MANUFACTURER, FILE_TIME (seconds since
# 1970) and the programs WIXL, MSIBUILD and FAKETIME. The files are taken
# from PACKAGE_DIR, where they were laid out (and signed).
#
# Same inputs, same bytes: every identifier is derived from names or
# contents (product code from the version, component codes from the paths,
# package code from everything packed), and wixl and msibuild run at the
# commit's time (FILE_TIME), which they write into the summary.
# The rules files an engineer edits (*.ini) are installed once and never
# replaced or removed by an upgrade or an uninstall: their components are
# marked never-overwrite and permanent in the Component table, which wixl
# cannot express, by msibuild.
cmake_minimum_required(VERSION 3.25)
include(${SETTINGS})
include(${CMAKE_CURRENT_LIST_DIR}/SignFiles.cmake)

# Name-based identifiers live in the product's own namespace.
set(namespace 2B6C9E41-7D35-4F0A-9C8E-1A4D6F2B7E93)
set(never_overwrite_permanent 144)  # msidbComponentAttributesNeverOverwrite | msidbComponentAttributesPermanent

# An installer identifier (letters, digits, '_' and '.') for a path in the
# package: any other character, '/' included, becomes '_'.
function(installer_id path out)
  string(REGEX REPLACE "[^A-Za-z0-9_.]" "_" id "${path}")
  if(id MATCHES "^[0-9.]")
    string(PREPEND id "_")
  endif()
  set(${out} ${id} PARENT_SCOPE)
endfunction()

function(name_based_guid name out)
  string(UUID guid NAMESPACE ${namespace} NAME "${name}" TYPE SHA1 UPPER)
  set(${out} "{${guid}}" PARENT_SCOPE)
endfunction()

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    list(JOIN ARGN " " command)
    message(FATAL_ERROR "installer: ${command} failed (${result}):\n${output}")
  endif()
endfunction()

# The package's files in its order, without the ZIP-only ones.
string(REPLACE "," ";" ZIP_ONLY "${ZIP_ONLY}")
file(STRINGS ${ENTRIES} entries)
set(paths)
foreach(entry IN LISTS entries)
  string(REGEX REPLACE "\\|.*" "" path "${entry}")
  if(NOT path IN_LIST ZIP_ONLY)
    list(APPEND paths ${path})
  endif()
endforeach()

# Files.wxi: a folder element per folder, a component per file; Features.wxi
# references them. wixl finds a file only by a path relative to the folder of
# the .wxs, which is therefore copied next to the included files.
file(COPY_FILE ${WXS} ${INCLUDE_DIR}/OvixParamTransactor.wxs)
file(RELATIVE_PATH source_folder ${INCLUDE_DIR} ${PACKAGE_DIR})
set(folders)
foreach(path IN LISTS paths)
  get_filename_component(folder "${path}" DIRECTORY)
  while(NOT folder STREQUAL "" AND NOT folder IN_LIST folders)
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
list(SORT folders)

set(files_text "")
set(features_text "")
set(permanent_components)

function(append_component path indent)
  installer_id(${path} id)
  name_based_guid("component ${path}" guid)
  get_filename_component(name ${path} NAME)
  string(APPEND files_text "${indent}<Component Id=\"${id}\" Guid=\"${guid}\">\n")
  string(APPEND files_text "${indent}  <File Id=\"${id}\" Name=\"${name}\" Source=\"${source_folder}/${path}\" KeyPath=\"yes\"/>\n")
  if(path STREQUAL COM_SERVER)
    string(APPEND files_text "${indent}  <?include ComRegistration.wxi ?>\n")
  endif()
  string(APPEND files_text "${indent}</Component>\n")
  string(APPEND features_text "  <ComponentRef Id=\"${id}\"/>\n")
  if(path MATCHES "\\.ini$")
    list(APPEND permanent_components ${id})
  endif()
  set(files_text "${files_text}" PARENT_SCOPE)
  set(features_text "${features_text}" PARENT_SCOPE)
  set(permanent_components "${permanent_components}" PARENT_SCOPE)
endfunction()

# The files directly in `folder` ("" for the install folder), then its subfolders.
function(append_folder folder indent)
  foreach(path IN LISTS paths)
    get_filename_component(parent "${path}" DIRECTORY)
    if(parent STREQUAL folder)
      append_component(${path} "${indent}")
    endif()
  endforeach()
  foreach(subfolder IN LISTS folders)
    get_filename_component(parent "${subfolder}" DIRECTORY)
    if(parent STREQUAL folder)
      installer_id("${subfolder}" id)
      get_filename_component(name "${subfolder}" NAME)
      string(APPEND files_text "${indent}<Directory Id=\"D.${id}\" Name=\"${name}\">\n")
      append_folder("${subfolder}" "${indent}  ")
      string(APPEND files_text "${indent}</Directory>\n")
    endif()
  endforeach()
  set(files_text "${files_text}" PARENT_SCOPE)
  set(features_text "${features_text}" PARENT_SCOPE)
  set(permanent_components "${permanent_components}" PARENT_SCOPE)
endfunction()
append_folder("" "  ")

set(header "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- Written by MakeInstaller.cmake from the package's file list: do not edit. -->\n")
file(WRITE ${INCLUDE_DIR}/Files.wxi "${header}<Include>\n${files_text}</Include>\n")
file(WRITE ${INCLUDE_DIR}/Features.wxi "${header}<Include>\n${features_text}</Include>\n")

# The product code is fixed per version; the package code changes with
# anything packed: the sources of the tables and every file's path and
# contents (Files.wxi and Features.wxi follow from the paths; they name the
# files' folder too, which may be anywhere).
name_based_guid("product ${VERSION}" product_code)
set(packed "")
foreach(source ${WXS} ${INCLUDE_DIR}/ComRegistration.wxi ${CMAKE_CURRENT_LIST_FILE})
  file(SHA256 ${source} sum)
  string(APPEND packed "${sum}\n")
endforeach()
foreach(path IN LISTS paths)
  file(SHA256 ${PACKAGE_DIR}/${path} sum)
  string(APPEND packed "${sum} ${path}\n")
endforeach()
string(APPEND packed "${VERSION} ${MANUFACTURER} ${FILE_TIME}\n")
string(SHA256 packed_sum "${packed}")
name_based_guid("package ${packed_sum}" package_code)

# wixl and msibuild write the current time into the summary: the commit's
# time instead (as UTC, the clock stopped: -f, since a plain date only sets
# where a running clock starts; file times read as they are).
execute_process(COMMAND date -u -d @${FILE_TIME} "+%Y-%m-%d %H:%M:%S" OUTPUT_VARIABLE build_time
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(at_build_time ${CMAKE_COMMAND} -E env TZ=UTC NO_FAKE_STAT=1 ${FAKETIME} -f "${build_time}")

# Built under another name and renamed when complete, so that a failed step
# leaves no package that looks finished.
set(partial ${MSI}.partial)
file(REMOVE ${MSI} ${partial})
run(${at_build_time} ${WIXL} -a x86 -I ${INCLUDE_DIR} -D Version=${VERSION} -D ProductCode=${product_code}
    -D Manufacturer=${MANUFACTURER} -o ${partial} ${INCLUDE_DIR}/OvixParamTransactor.wxs)
foreach(component IN LISTS permanent_components)
  run(${at_build_time} ${MSIBUILD} ${partial} -q
      "UPDATE `Component` SET `Attributes` = ${never_overwrite_permanent} WHERE `Component` = '${component}'")
endforeach()
# (called directly: the template "Intel;1033" holds a list separator.)
execute_process(COMMAND ${at_build_time} ${MSIBUILD} ${partial} -s OvixParamTransactor ${MANUFACTURER} "Intel;1033"
                        ${package_code} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installer: setting the summary of ${MSI} failed")
endif()
sign_files(${partial})
file(RENAME ${partial} ${MSI})
