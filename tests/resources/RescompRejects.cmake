# Runs velmar-rescomp on a malformed .grc as the build step does; the step must fail with a file:line
# diagnostic and leave no output behind that a later build could pick up.
file(REMOVE ${OUTPUT})
execute_process(COMMAND ${RESCOMP} --out ${OUTPUT} --require "STR#:32000" ${INPUT}
                RESULT_VARIABLE status ERROR_VARIABLE diagnostics)
if (NOT status EQUAL 1)
    message(FATAL_ERROR "expected exit status 1, got '${status}': ${diagnostics}")
endif()
if (NOT diagnostics MATCHES "Malformed\\.grc:3: error: unterminated string")
    message(FATAL_ERROR "unexpected diagnostics: ${diagnostics}")
endif()
if (EXISTS ${OUTPUT} OR EXISTS ${OUTPUT}.tmp)
    message(FATAL_ERROR "a failed run left ${OUTPUT} behind")
endif()
