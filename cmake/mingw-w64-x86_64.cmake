# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX threads, so
# that std::thread and std::mutex work). Used both for the Qt build (scripts/windows-qt) and,
# chained through Qt's own toolchain file, for the project (scripts/windows).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QX_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QX_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${QX_MINGW_TRIPLET}-windres)

# Libraries, headers and CMake packages come from the MinGW sysroot (and from whatever
# prefixes are added to CMAKE_FIND_ROOT_PATH, such as the cross-built Qt); programs run
# during the build come from the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${QX_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
