# Windows programs, cross-built with mingw-w64 (cmake/mingw-*.cmake) and run
# under Wine by the tests.

# The system's wide-character interfaces, and <windows.h> without its min and
# max macros or what the programs do not use.
add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN)
# mingw-w64's localtime_r and the like, as POSIX has them.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)

# Statically linked, so they run on a Windows machine with nothing installed.
add_link_options(-static)
# The fault report prints code addresses as 8 hex digits: the image sits at
# 0x400000 (the 64-bit default lies above 4 GB) and is never moved.
add_link_options(-Wl,--image-base,0x400000 -Wl,--disable-dynamicbase)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  add_link_options(-Wl,--disable-high-entropy-va)
else()
  # Doubles are computed in SSE registers and rounded to double at every step,
  # as on x86-64, so both targets draw the same frames; long double stays on
  # the x87 unit. Windows keeps the stack 4-byte aligned: realign where SSE
  # needs more.
  add_compile_options(-msse2 -mfpmath=sse -mstackrealign)
endif()

# zlib (for PNG files) from Debian's libz-mingw-w64-dev, linked in.
set(ZLIB_USE_STATIC_LIBS ON)

# GoogleTest from Debian's sources, built for the target. Its tests are listed
# when they run, not when they are built: building needs no Wine (and a 32-bit
# build needs no machine that runs 32-bit programs).
add_subdirectory(/usr/src/googletest/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# CLI11 is header-only: Debian's headers, taken alone out of the host's include
# folder (which must not be searched for the target).
find_path(CLI11_INCLUDE_DIR CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
file(COPY ${CLI11_INCLUDE_DIR}/CLI DESTINATION ${CMAKE_BINARY_DIR}/host-headers)
add_library(CLI11::CLI11 INTERFACE IMPORTED)
target_include_directories(CLI11::CLI11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/host-headers)
