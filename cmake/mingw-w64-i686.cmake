# Cross build of the Windows program: 32-bit, as the program always was.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOLVANE_MINGW_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
