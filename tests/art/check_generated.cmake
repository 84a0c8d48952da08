cmake_minimum_required(VERSION 3.25)
# Runs the art generator into a scratch folder and fails if any committed
# icon or bitmap differs from what it makes, or if a committed one is not
# made at all.
#   cmake -DGENERATOR=... -DRESOURCES=... -DWORK=... -P check_generated.cmake
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
execute_process(COMMAND "${GENERATOR}" "${RESOURCES}" "${WORK}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the generator failed: ${out}${err}")
endif()

file(GLOB_RECURSE made RELATIVE "${WORK}" "${WORK}/*")
file(GLOB_RECURSE committed RELATIVE "${RESOURCES}" "${RESOURCES}/icons/*" "${RESOURCES}/bitmaps/*")
set(problems "")
foreach(f IN LISTS made)
    if(NOT EXISTS "${RESOURCES}/${f}")
        string(APPEND problems "\n  missing from resources/: ${f}")
    else()
        execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${RESOURCES}/${f}" "${WORK}/${f}"
                        RESULT_VARIABLE differs)
        if(NOT differs EQUAL 0)
            string(APPEND problems "\n  differs from the generator's output: ${f}")
        endif()
    endif()
endforeach()
foreach(f IN LISTS committed)
    if(NOT f IN_LIST made)
        string(APPEND problems "\n  not made by the generator (stale?): ${f}")
    endif()
endforeach()
if(problems)
    message(FATAL_ERROR "committed resources are out of date; run `cmake --build <build> --target art-regenerate`:${problems}")
endif()
list(LENGTH made count)
message(STATUS "${count} generated files match the committed resources")
file(REMOVE_RECURSE "${WORK}")
