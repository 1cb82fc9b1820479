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
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZUB_MINGW_DEPS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${ZUB_MINGW_TRIPLET} ${ZUB_MINGW_DEPS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without -static the posix-threads runtime comes as libwinpthread-1.dll,
# which the test programs would not find under Wine.
set(ZUB_MINGW_STATIC "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${ZUB_MINGW_STATIC})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${ZUB_MINGW_STATIC})
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${ZUB_MINGW_STATIC})

set(CMAKE_CROSSCOMPILING_EMULATOR wine)
