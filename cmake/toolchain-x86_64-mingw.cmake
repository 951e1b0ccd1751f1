# The same sources for 64-bit Windows. Used to run the tests on machines
# whose kernel cannot execute 32-bit code (so 32-bit Wine cannot start).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
