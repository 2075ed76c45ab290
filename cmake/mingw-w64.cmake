# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, for std::thread
# and std::mutex). Use: cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GRIDWRIGHT_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${GRIDWRIGHT_MINGW_PREFIX}-g++-posix ${GRIDWRIGHT_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${GRIDWRIGHT_MINGW_PREFIX}-gcc-posix ${GRIDWRIGHT_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${GRIDWRIGHT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GRIDWRIGHT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wide-character Windows APIs; executables need no MinGW DLLs on the user's machine.
add_compile_definitions(UNICODE _UNICODE)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine.
find_program(GRIDWRIGHT_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(GRIDWRIGHT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${GRIDWRIGHT_WINE})
endif()
find_program(GRIDWRIGHT_WINESERVER NAMES wineserver PATHS /usr/lib/wine)
