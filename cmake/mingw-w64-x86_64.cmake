# Cross toolchain: x86-64 Windows programs built with mingw-w64 (posix threads),
# run and tested under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARVO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${TARVO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARVO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

get_filename_component(_tarvo_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_tarvo_root}/scripts/wine-run")
