# Included by the package scripts (cmake -P):
#   sign_files(<file>...)
# signs the files in place with Authenticode through sign-files.sh when
# SIGN_CERT names a certificate (SIGN_TIMESTAMP: an optional RFC 3161
# timestamp server), and does nothing otherwise; a failure stops the script.
function(sign_files)
  if(NOT SIGN_CERT)
    return()
  endif()
  set(timestamp)
  if(SIGN_TIMESTAMP)
    set(timestamp --timestamp ${SIGN_TIMESTAMP})
  endif()
  execute_process(COMMAND bash ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/sign-files.sh ${timestamp} ${SIGN_CERT} ${ARGN}
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "package: signing failed")
  endif()
endfunction()
