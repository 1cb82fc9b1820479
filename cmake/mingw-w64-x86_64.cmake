# Cross-build for 64-bit Windows with MinGW-w64 (posix threads), run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZUB_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZUB_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUB_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${ZUB_MINGW_TRIPLET}-windres)

# Static libraries built for this target (jsoncpp, GoogleTest) live here.
get_filename_component(ZUB_MINGW_DEFAULT_DEPS "${CMAKE_CURRENT_LIST_DIR}/../build-mingw-deps/prefix" ABSOLUTE)
set(ZUB_MINGW_DEPS_PREFIX "${ZUB_MINGW_DEFAULT_DEPS}"
    CACHE PATH "Prefix of the static MinGW builds of jsoncpp and GoogleTest")
# Qt 5 built for this target (tools/wine/qt.sh prints it); empty: no Qt parts.
set(ZUB_MINGW_QT_PREFIX "" CACHE PATH "Prefix of Qt 5 built for MinGW-w64")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZUB_MINGW_DEPS_PREFIX ZUB_MINGW_QT_PREFIX)
# A package is searched for only under these roots, so Qt's prefix is one.
set(CMAKE_FIND_ROOT_PATH /usr/${ZUB_MINGW_TRIPLET} ${ZUB_MINGW_DEPS_PREFIX} ${ZUB_MINGW_QT_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ runtime is shared, as Qt's own DLLs have it: libstdc++-6.dll,
# libgcc_s_seh-1.dll and libwinpthread-1.dll ship beside the programs (see
# cmake/WindowsRuntime.cmake), and every DLL of a process uses one heap and
# one exception runtime.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
