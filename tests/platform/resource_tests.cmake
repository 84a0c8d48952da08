# What the resource tests need beyond GoogleTest and the platform libraries:
# rcembed's parser, the path of the built tool and, once the game's resources
# build, the game module itself.  Included after the platform test program is
# defined; its target name is ZORVAK_PLATFORM_TEST_TARGET (platform_tests if
# unset).
if(NOT ZORVAK_PLATFORM_TEST_TARGET)
    set(ZORVAK_PLATFORM_TEST_TARGET platform_tests)
endif()
set(_target ${ZORVAK_PLATFORM_TEST_TARGET})
target_link_libraries(${_target} PRIVATE rcembed_core)
target_compile_definitions(${_target} PRIVATE ZORVAK_RCEMBED_PATH="$<TARGET_FILE:rcembed>")
add_dependencies(${_target} rcembed)
if(TARGET zorvak_resources)
    target_link_libraries(${_target} PRIVATE zorvak_resources)
    target_compile_definitions(${_target} PRIVATE ZORVAK_HAVE_GAME_MODULE
        ZORVAK_RESOURCE_SCRIPT="${CMAKE_SOURCE_DIR}/resources/zorvak.rc")
endif()
