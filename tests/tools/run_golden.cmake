# Replays one capture and compares standard output, standard error and the
# labels with the expected files beside the capture. With the environment
# variable BIVANE_UPDATE_GOLDEN=1 the expected files are rewritten instead
# (for a deliberate change; review the diff before committing it).
#
# -DREPLAY=<tool> -DCAPTURE=<dir/name.capture> -DWORK=<scratch dir>

get_filename_component(name "${CAPTURE}" NAME_WE)
get_filename_component(dir "${CAPTURE}" DIRECTORY)
file(MAKE_DIRECTORY "${WORK}")

# Options come from the capture's header line "; replay-options: ...".
file(READ "${CAPTURE}" text)
set(options "")
if(text MATCHES "(^|\n). replay-options:([^\n]*)")
  separate_arguments(options UNIX_COMMAND "${CMAKE_MATCH_2}")
endif()

execute_process(
  COMMAND "${REPLAY}" ${options} --labels "${WORK}/${name}.labels.json" "${CAPTURE}"
  OUTPUT_FILE "${WORK}/${name}.hdt"
  ERROR_FILE "${WORK}/${name}.stderr"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  file(READ "${WORK}/${name}.stderr" errors)
  message(FATAL_ERROR "replay of ${name} exited with ${status}: ${errors}")
endif()

set(failed "")
foreach(kind hdt stderr labels.json)
  set(actual "${WORK}/${name}.${kind}")
  set(expected "${dir}/${name}.${kind}")
  if("$ENV{BIVANE_UPDATE_GOLDEN}" STREQUAL "1")
    file(COPY_FILE "${actual}" "${expected}")
  elseif(NOT EXISTS "${expected}")
    list(APPEND failed "${kind} (no expected file ${expected})")
  else()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${actual}" "${expected}"
                    RESULT_VARIABLE different)
    if(different)
      list(APPEND failed "${kind} (see diff ${expected} ${actual})")
    endif()
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "${name}: output differs from the expected files: ${failed}")
endif()
