# Runs one emulator script for CTest: cmake -DEMULATOR=... -DSCRIPT=... -DEXPECTED_EXIT=N
# -DEXPECTED_LINE=L -P run_script.cmake. Passes when tovarin-emu exits with EXPECTED_EXIT and,
# when EXPECTED_LINE is not 0, reports that line of the script as the one that failed.
# -DINSTALL=FILE[;FILE...] adds test libraries and programs to the script's image.
# -DARTIFACTS=DIR is where a failed script leaves its evidence.
set(install_args "")
foreach(file IN LISTS INSTALL)
  list(APPEND install_args --install ${file})
endforeach()
# A failed script's evidence stays in the build tree (ARTIFACTS), never beside the script.
file(REMOVE_RECURSE ${ARTIFACTS})
execute_process(
  COMMAND ${EMULATOR} --script ${SCRIPT} ${install_args} --artifacts ${ARTIFACTS}
  RESULT_VARIABLE exit_code
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
message("${output}")

if(NOT exit_code STREQUAL "${EXPECTED_EXIT}")
  message(FATAL_ERROR "tovarin-emu exited with ${exit_code}, expected ${EXPECTED_EXIT}")
endif()
# A script that failed on a command names the files it left, and they are there (the trace always;
# running_emulator_test.sh looks into them).
if(EXPECTED_EXIT EQUAL 1)
  string(REGEX MATCH "  evidence: ([^\n]*)" evidence "${output}")
  if(NOT evidence)
    message(FATAL_ERROR "the failure names no evidence")
  endif()
  string(REPLACE ", " ";" files "${CMAKE_MATCH_1}")
  foreach(file IN LISTS files)
    if(NOT EXISTS ${file})
      message(FATAL_ERROR "the evidence ${file} is not there")
    endif()
  endforeach()
  if(NOT "${files}" MATCHES "trace.txt")
    message(FATAL_ERROR "the failure left no trace.txt")
  endif()
endif()

if(NOT EXPECTED_LINE EQUAL 0)
  get_filename_component(script_name ${SCRIPT} NAME)
  string(FIND "${output}" "${script_name}:${EXPECTED_LINE}: " found)
  if(found EQUAL -1)
    message(FATAL_ERROR "the report does not name line ${EXPECTED_LINE} of ${script_name}")
  endif()
endif()
