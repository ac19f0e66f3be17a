# The version resource (VERSIONINFO) of every file the project ships, so that
# Explorer's Details tab, inventory tools and `param_host --version` tell
# which build a station runs. File and product version are the top-level
# project's version; company, product and copyright are the product's.
#
#   add_version_resource(<target> <description> <original file name>)
#
# e.g. add_version_resource(FieldRules "Field rules extension for OvixParamTransactor" FieldRules.dll)

set(PRODUCT_COMPANY "Ovix")
set(PRODUCT_COPYRIGHT "Copyright (C) 2026 Ovix")
set(VERSION_RESOURCE_TEMPLATE ${CMAKE_CURRENT_LIST_DIR}/VersionInfo.rc.in)

# The version as the four numbers Windows keeps (major, minor, patch, tweak;
# 0 for a missing one), e.g. for fixed version fields and assembly versions.
set(PRODUCT_VERSION_NUMBERS "")
foreach(part MAJOR MINOR PATCH TWEAK)
  if("${CMAKE_PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND PRODUCT_VERSION_NUMBERS 0)
  else()
    list(APPEND PRODUCT_VERSION_NUMBERS ${CMAKE_PROJECT_VERSION_${part}})
  endif()
endforeach()

function(add_version_resource target description original_file_name)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(VERSION_FILE_TYPE VFT_APP)
  else()
    set(VERSION_FILE_TYPE VFT_DLL)
  endif()
  list(JOIN PRODUCT_VERSION_NUMBERS "," VERSION_NUMBERS)
  set(VERSION_TEXT ${CMAKE_PROJECT_VERSION})
  set(VERSION_DESCRIPTION "${description}")
  set(VERSION_ORIGINAL_FILE_NAME "${original_file_name}")
  get_filename_component(VERSION_INTERNAL_NAME ${original_file_name} NAME_WE)
  set(resource ${CMAKE_BINARY_DIR}/version-resources/${target}.rc)
  configure_file(${VERSION_RESOURCE_TEMPLATE} ${resource} @ONLY)
  target_sources(${target} PRIVATE ${resource})
  set_property(TARGET ${target} PROPERTY VERSION_RESOURCE ${resource})
endfunction()
