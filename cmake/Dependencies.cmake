# Third-party pieces, taken from Debian's MinGW and source packages.
find_library(MELVANE_ZLIB NAMES libz.a z REQUIRED)
find_path(MELVANE_ZLIB_INCLUDE zlib.h REQUIRED)
add_library(melvane_zlib INTERFACE)
target_link_libraries(melvane_zlib INTERFACE ${MELVANE_ZLIB})
target_include_directories(melvane_zlib INTERFACE ${MELVANE_ZLIB_INCLUDE})

# stb_image lives in the host's /usr/include, which the cross compiler must not
# see as a whole; copy the one header into the build tree.
set(MELVANE_STB_SOURCE /usr/include/stb/stb_image.h CACHE FILEPATH "stb_image.h")
configure_file(${MELVANE_STB_SOURCE} ${CMAKE_BINARY_DIR}/third/stb/stb_image.h COPYONLY)
add_library(melvane_stb INTERFACE)
target_include_directories(melvane_stb SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/third)

set(MELVANE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest source tree")
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${MELVANE_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
