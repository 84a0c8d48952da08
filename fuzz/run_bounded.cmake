# One fuzz target for a bounded time over a scratch copy of its seed corpus
# (new inputs it finds stay in the build folder, not in the repository).
#   cmake -DFUZZER=... -DSEEDS=... -DWORK=... -DSECONDS=... -P run_bounded.cmake
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
    COMMAND ${FUZZER} -max_total_time=${SECONDS} -timeout=20 -rss_limit_mb=2048
            -print_final_stats=1 -artifact_prefix=${WORK}/ ${WORK}/corpus
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${FUZZER} failed (${result}); the input that did it is in ${WORK}")
endif()
