# The client layer's sources; its own build and the fuzzers' take them.
set(DRUXCLIENT_SOURCES
    ClientText.cpp
    DruxClientUserid.cpp
    KaNotifyProxy.cpp
    ModuleRegistry.cpp
    ProcessObjects.cpp
    QORClient.cpp
    RegistryPath.cpp
    UpdateClient.cpp
    UpdateList.cpp
    qorlog.cpp
    qorloglinelock.cpp
    qorlogstreams.cpp)
list(TRANSFORM DRUXCLIENT_SOURCES PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
