# winport's POSIX sources, one family a line; its own build and the fuzzers' take them.
set(WINPORT_SOURCES
    crt/Printf.cpp
    debugtime/DebugOutput.cpp debugtime/TimeAndIds.cpp
    errors/lasterror.cpp
    files/CreateFile.cpp files/Descriptors.cpp files/FileIo.cpp files/FileObject.cpp
    files/Security.cpp files/Stream.cpp
    loader/DllDirectory.cpp loader/ModuleTable.cpp loader/Modules.cpp loader/loader.cpp
    paths/PathText.cpp paths/PosixPath.cpp paths/crtstat.cpp paths/shellpath.cpp
    registry/RegFile.cpp registry/registry.cpp
    sync/CriticalSection.cpp sync/EventObject.cpp sync/Handles.cpp sync/SystemError.cpp
    text/Utf8.cpp text/bstr.cpp text/codepages.cpp)
list(TRANSFORM WINPORT_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
