# Shared by both mingw-w64 toolchains: the posix thread model gives us std::thread-safe
# statics in libstdc++, and -static keeps the module free of mingw runtime DLLs.
set(CMAKE_C_COMPILER ${OSTREL_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OSTREL_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OSTREL_TRIPLE}-windres)
set(OSTREL_WIDL ${OSTREL_TRIPLE}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${OSTREL_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
