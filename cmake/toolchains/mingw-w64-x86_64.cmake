# Cross-build for 64-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-x86-64-posix, mingw-w64-tools): the posix thread model, so
# std::thread and std::mutex work. Programs link libgcc, libstdc++ and
# winpthread statically, so no MinGW DLL has to travel with them; ctest runs
# the .exe files under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAMLO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAMLO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAMLO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAMLO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAMLO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# -static takes winpthread's static library as well.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

find_program(TAMLO_WINE NAMES wine wine64)
if(TAMLO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TAMLO_WINE})
endif()
