# Cross-builds the Windows programs with Debian's mingw-w64 for ZELVO_MINGW_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${ZELVO_MINGW_ARCH})
set(CMAKE_C_COMPILER ${ZELVO_MINGW_ARCH}-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${ZELVO_MINGW_ARCH}-w64-mingw32-g++)
set(CMAKE_RC_COMPILER ${ZELVO_MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZELVO_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# No runtime DLLs beside the program: only the system's own. No link time in the PE header,
# so that two builds of one source give the same bytes.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp")
