# What both mingw-w64 toolchains share; LETTERMILL_MINGW_PREFIX names the target triple.
# The posix thread model: GoogleTest needs std::mutex, which the win32 model of GCC 12 lacks.
# Linked statically, it adds no DLL to the programs.
set(CMAKE_C_COMPILER ${LETTERMILL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LETTERMILL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${LETTERMILL_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${LETTERMILL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs must need nothing but system DLLs on the target machine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
