# A 64-bit build of the program: the tests' on a machine that runs no 32-bit
# programs (scripts/test).
set(MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
