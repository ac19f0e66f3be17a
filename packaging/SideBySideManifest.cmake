# The side-by-side manifest of OvixParamTransactor.dll (registration-free
# COM), written next to the DLL. Its identifiers are read from the header the
# component's code uses, so that the two cannot differ.
set(IDENTIFIERS_HEADER ${CMAKE_SOURCE_DIR}/src/contracts/OvixParamTransactor_TLB.h)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${IDENTIFIERS_HEADER})
file(READ ${IDENTIFIERS_HEADER} identifiers)

# The braced upper-case text of the GUID the header initialises as
# `<name> = {0x..., 0x..., 0x..., {0x.., ...}}`.
function(read_guid name out)
  string(REGEX MATCH " ${name} = {[^;]*;" initializer "${identifiers}")
  string(REGEX MATCHALL "0x[0-9A-Fa-f]+" numbers "${initializer}")
  list(LENGTH numbers count)
  if(NOT count EQUAL 11)
    message(FATAL_ERROR "${IDENTIFIERS_HEADER}: no GUID initializer for ${name}")
  endif()
  set(widths 8 4 4 2 2 2 2 2 2 2 2)
  set(digits "")
  foreach(number width IN ZIP_LISTS numbers widths)
    string(SUBSTRING ${number} 2 -1 part)
    string(TOUPPER ${part} part)
    string(LENGTH ${part} length)
    while(length LESS width)
      string(PREPEND part 0)
      math(EXPR length "${length} + 1")
    endwhile()
    string(APPEND digits ${part})
  endforeach()
  string(REGEX REPLACE "^(........)(....)(....)(....)(............)$" "{\\1-\\2-\\3-\\4-\\5}" text ${digits})
  set(${out} ${text} PARENT_SCOPE)
endfunction()

# The value of `<name>[] = "..."` or `<name> = <number>;` in the header.
function(read_constant name out)
  if(NOT identifiers MATCHES " ${name}(\\[\\])? = \"?([^\";]*)\"?;")
    message(FATAL_ERROR "${IDENTIFIERS_HEADER}: no constant ${name}")
  endif()
  set(${out} ${CMAKE_MATCH_2} PARENT_SCOPE)
endfunction()

read_guid(CLSID_ParamTransactor MANIFEST_CLSID)
read_guid(LIBID_OvixParamTransactor MANIFEST_LIBID)
read_constant(ParamTransactorProgId MANIFEST_PROGID)
read_constant(OvixParamTransactorLibraryName MANIFEST_ASSEMBLY_NAME)
read_constant(OvixParamTransactorMajorVersion library_major)
read_constant(OvixParamTransactorMinorVersion library_minor)
set(MANIFEST_LIBRARY_VERSION ${library_major}.${library_minor})
list(JOIN PRODUCT_VERSION_NUMBERS "." MANIFEST_VERSION)

set(SIDE_BY_SIDE_MANIFEST ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${MANIFEST_ASSEMBLY_NAME}.manifest)
configure_file(${CMAKE_CURRENT_LIST_DIR}/OvixParamTransactor.manifest.in ${SIDE_BY_SIDE_MANIFEST} @ONLY)
