# Signs FILE in place (cmake -DFILE=... -P sign.cmake, which sets the rest). A file it could not sign is deleted: a
# signed build never leaves an unsigned file behind for a later step to ship.
set(arguments sign -pkcs12 ${CERTIFICATE} -h sha256 -n ${DESCRIPTION} -i ${URL})
if(PASSWORD_FILE)
  list(APPEND arguments -readpass ${PASSWORD_FILE})
endif()
if(TIMESTAMP_URL)
  list(APPEND arguments -ts ${TIMESTAMP_URL})
endif()
execute_process(COMMAND ${OSSLSIGNCODE} ${arguments} -in ${FILE} -out ${FILE}.signed
                RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0)
  file(REMOVE ${FILE} ${FILE}.signed)
  message(FATAL_ERROR "Signing ${FILE} failed (${result}): ${said}")
endif()
file(RENAME ${FILE}.signed ${FILE})
