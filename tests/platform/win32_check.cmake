# The Windows subset of platform/platform.h against the real <windows.h>.
# win32_api_check.cpp is compiled natively in every build (our declarations)
# and, as the test win32_api_check_mingw, by the i686 mingw-w64 compiler
# (the real header).  The test is skipped only when that compiler is missing.
get_filename_component(_zorvak_root ${CMAKE_CURRENT_LIST_DIR}/../.. ABSOLUTE)
add_library(win32_api_check_native OBJECT ${CMAKE_CURRENT_LIST_DIR}/win32_api_check.cpp)
target_compile_options(win32_api_check_native PRIVATE -Werror)

add_test(NAME win32_api_check_mingw
    COMMAND sh -c [[
command -v "$0" >/dev/null 2>&1 || { echo "$0 is not installed: skipped"; exit 77; }
exec "$0" -std=c++20 -Wall -Wextra -Werror -c "$1" -I "$2" -o "$3"
]]
        i686-w64-mingw32-g++
        ${CMAKE_CURRENT_LIST_DIR}/win32_api_check.cpp
        ${_zorvak_root}
        ${CMAKE_CURRENT_BINARY_DIR}/win32_api_check_mingw.o)
set_tests_properties(win32_api_check_mingw PROPERTIES SKIP_RETURN_CODE 77)

# The resource tests in this folder need a little more than the platform
# libraries; resource_tests.cmake adds it to the platform test program.
include(${CMAKE_CURRENT_LIST_DIR}/resource_tests.cmake)
