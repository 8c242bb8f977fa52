# Runs a command and checks its exit status and that it printed one line on
# standard error. -DCOMMAND="<tool>;<arg>;..." -DSTATUS=<n>
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE out
                ERROR_VARIABLE err)
if(NOT status EQUAL STATUS)
  message(FATAL_ERROR "expected exit status ${STATUS}, got ${status}: ${err}")
endif()
string(REGEX MATCHALL "\n" newlines "${err}")
list(LENGTH newlines count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one line on standard error, got: ${err}")
endif()
