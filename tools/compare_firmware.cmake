# Runs the firmware generator into a fresh folder and compares each text with
# the committed one, byte for byte.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${WORK}" RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "make_firmware failed: ${result}")
endif()
foreach(name PO010103.HEX PU010103.HEX SU010503.HEX)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${name}" "${EXPECTED}/${name}"
                  RESULT_VARIABLE differ)
  if(NOT differ EQUAL 0)
    message(FATAL_ERROR "${name} differs from the generator's output; run make_firmware resources/firmware")
  endif()
endforeach()
