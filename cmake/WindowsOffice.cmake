# The office libraries' dependencies for Windows, built as Debian builds them:
# zlib from libz-mingw-w64-dev, libzip and pugixml from Debian's source
# packages (unpacked by scripts/windows-sources), all linked in statically.
# They get the same names the Linux build finds, so office/ links them alike.
set(mingw_root /usr/${TOLVANE_MINGW_PREFIX})
add_library(ZLIB::ZLIB STATIC IMPORTED GLOBAL)
set_target_properties(ZLIB::ZLIB PROPERTIES
  IMPORTED_LOCATION ${mingw_root}/lib/libz.a
  INTERFACE_INCLUDE_DIRECTORIES ${mingw_root}/include)

function(tolvane_debian_source package result)
  file(GLOB found LIST_DIRECTORIES true ${TOLVANE_WINDOWS_SOURCES}/${package}-*)
  list(FILTER found INCLUDE REGEX "/${package}-[0-9.]+$")
  if(NOT found)
    message(FATAL_ERROR "No ${package} source in ${TOLVANE_WINDOWS_SOURCES}: run scripts/windows-sources ${TOLVANE_WINDOWS_SOURCES}")
  endif()
  set(${result} ${found} PARENT_SCOPE)
endfunction()

set(cross_cmake_args -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
                     -DCMAKE_INSTALL_PREFIX=<INSTALL_DIR> -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF)

# libzip with deflate through zlib, as the packages the Linux build reads and
# writes need; entries of other methods or encrypted ones are refused by the
# reader on both systems, so neither bzip2, LZMA nor a crypto library is linked.
tolvane_debian_source(libzip libzip_source)
set(libzip_prefix ${CMAKE_BINARY_DIR}/libzip)
ExternalProject_Add(libzip_windows
  SOURCE_DIR ${libzip_source}
  PREFIX ${libzip_prefix}
  INSTALL_DIR ${libzip_prefix}/install
  CMAKE_ARGS ${cross_cmake_args}
             -DZLIB_LIBRARY=${mingw_root}/lib/libz.a -DZLIB_INCLUDE_DIR=${mingw_root}/include
             -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_COMMONCRYPTO=OFF -DENABLE_GNUTLS=OFF
             -DENABLE_MBEDTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_WINDOWS_CRYPTO=OFF
             -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  BUILD_BYPRODUCTS ${libzip_prefix}/install/lib/libzip.a)
file(MAKE_DIRECTORY ${libzip_prefix}/install/include)
add_library(libzip::zip STATIC IMPORTED GLOBAL)
set_target_properties(libzip::zip PROPERTIES
  IMPORTED_LOCATION ${libzip_prefix}/install/lib/libzip.a
  INTERFACE_INCLUDE_DIRECTORIES ${libzip_prefix}/install/include
  INTERFACE_COMPILE_DEFINITIONS ZIP_STATIC
  INTERFACE_LINK_LIBRARIES "ZLIB::ZLIB;advapi32")
add_dependencies(libzip::zip libzip_windows)

# pugixml with its default configuration, as Debian's package has it.
tolvane_debian_source(pugixml pugixml_source)
set(pugixml_prefix ${CMAKE_BINARY_DIR}/pugixml)
ExternalProject_Add(pugixml_windows
  SOURCE_DIR ${pugixml_source}
  PREFIX ${pugixml_prefix}
  INSTALL_DIR ${pugixml_prefix}/install
  CMAKE_ARGS ${cross_cmake_args} -DPUGIXML_BUILD_TESTS=OFF
  BUILD_BYPRODUCTS ${pugixml_prefix}/install/lib/libpugixml.a)
file(MAKE_DIRECTORY ${pugixml_prefix}/install/include)
add_library(pugixml::pugixml STATIC IMPORTED GLOBAL)
set_target_properties(pugixml::pugixml PROPERTIES
  IMPORTED_LOCATION ${pugixml_prefix}/install/lib/libpugixml.a
  INTERFACE_INCLUDE_DIRECTORIES ${pugixml_prefix}/install/include)
add_dependencies(pugixml::pugixml pugixml_windows)

foreach(folder IN ITEMS dispatch package convert wordprocessor spreadsheet)
  add_subdirectory(office/${folder})
  # mingw-w64 declares localtime_r and gmtime_r only when asked to.
  target_compile_definitions(office_${folder} PRIVATE _POSIX_THREAD_SAFE_FUNCTIONS=200112L)
endforeach()
