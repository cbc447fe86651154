# The Windows build: the program folders against the real Windows headers and
# system DLLs, resources from the .rc, Expat built from Debian's source package
# (unpacked by scripts/windows-sources). Where the platforms meet: the program
# includes <windows.h> and <ole2.h>; on Windows those are mingw-w64's, on Linux
# platform/include maps them onto platform/.
set(TOLVANE_WINDOWS_SOURCES "${CMAKE_BINARY_DIR}/sources" CACHE PATH
    "Folder where scripts/windows-sources unpacked Debian's source packages")
include(ExternalProject)

# -O2 as the Linux build: at -O3 GCC 12 warns falsely (-Wrestrict) inside libstdc++'s string code.
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG")

# The system DLLs stand where the Linux build has its platform libraries.
add_library(tolvane_win32 INTERFACE)
target_link_libraries(tolvane_win32 INTERFACE user32 kernel32)
add_library(tolvane_com INTERFACE)
target_link_libraries(tolvane_com INTERFACE ole32 oleaut32 uuid)

# Expat as on Linux: static, with DTD handling and so its protection against
# entity amplification; the data file parser allows no external entities.
file(GLOB expat_source LIST_DIRECTORIES true ${TOLVANE_WINDOWS_SOURCES}/expat-*)
list(FILTER expat_source INCLUDE REGEX "/expat-[0-9.]+$")
list(TRANSFORM expat_source APPEND /expat)
if(NOT expat_source)
  message(FATAL_ERROR "No Expat source in ${TOLVANE_WINDOWS_SOURCES}: run scripts/windows-sources ${TOLVANE_WINDOWS_SOURCES}")
endif()
set(expat_prefix ${CMAKE_BINARY_DIR}/expat)
# Built with its autotools, as Debian builds it (Debian's patches expect the
# configuration header that configure writes); DTD support is on by default.
ExternalProject_Add(expat_windows
  SOURCE_DIR ${expat_source}
  PREFIX ${expat_prefix}
  INSTALL_DIR ${expat_prefix}/install
  CONFIGURE_COMMAND <SOURCE_DIR>/configure --host=${TOLVANE_MINGW_PREFIX} --prefix=<INSTALL_DIR>
                    --disable-shared --enable-static --without-docbook --without-examples --without-tests
                    --without-xmlwf CC=${CMAKE_C_COMPILER}
  BUILD_COMMAND make -C lib
  INSTALL_COMMAND make -C lib install
  BUILD_BYPRODUCTS ${expat_prefix}/install/lib/libexpat.a)
add_library(EXPAT::EXPAT STATIC IMPORTED GLOBAL)
set_target_properties(EXPAT::EXPAT PROPERTIES
  IMPORTED_LOCATION ${expat_prefix}/install/lib/libexpat.a
  INTERFACE_INCLUDE_DIRECTORIES ${expat_source}/lib
  INTERFACE_COMPILE_DEFINITIONS XML_STATIC)
add_dependencies(EXPAT::EXPAT expat_windows)
set(EXPAT_INCLUDE_DIR ${expat_source}/lib CACHE PATH "" FORCE)
set(EXPAT_LIBRARY ${expat_prefix}/install/lib/libexpat.a CACHE FILEPATH "" FORCE)

include(${CMAKE_CURRENT_LIST_DIR}/WindowsOffice.cmake)

foreach(folder IN ITEMS datafile automation generator word excel shell)
  add_subdirectory(${folder})
endforeach()
# After the office folders: tolvane-office.exe is built once their libraries are.
add_subdirectory(office/localserver)

# The icon file is drawn from the same pixels the Linux build shows.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/tolvane.ico
  COMMAND python3 ${CMAKE_SOURCE_DIR}/resources/make_icon.py ${CMAKE_SOURCE_DIR}/resources/AppIcon.cpp
          ${CMAKE_BINARY_DIR}/tolvane.ico
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_icon.py ${CMAKE_SOURCE_DIR}/resources/AppIcon.cpp)
add_custom_target(tolvane_icon DEPENDS ${CMAKE_BINARY_DIR}/tolvane.ico)
set_source_files_properties(resources/tolvane.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_BINARY_DIR}/tolvane.ico;${CMAKE_SOURCE_DIR}/resources/tolvane.manifest")

# A GUI program that runs on a bare Windows: the C++ and thread runtimes are
# linked in, so only system DLLs are imported. WinMain lives in the shell
# library and is asked for only by the runtime's main, linked after it.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(winmain_symbol _WinMain@16)
else()
  set(winmain_symbol WinMain)
endif()
add_executable(tolvane WIN32 resources/tolvane.rc)
target_include_directories(tolvane PRIVATE ${CMAKE_BINARY_DIR})
target_link_libraries(tolvane PRIVATE tolvane_shell)
target_link_options(tolvane PRIVATE -static -s -Wl,--undefined=${winmain_symbol})
add_dependencies(tolvane tolvane_icon)
set_target_properties(tolvane PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# What the zip holds: the program and the office servers.
add_custom_target(windows_programs ALL DEPENDS tolvane tolvane-office)
