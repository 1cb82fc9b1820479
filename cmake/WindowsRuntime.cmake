# What our Windows programs need beside them: MinGW's shared C++ runtime and,
# in the Qt build, Qt's DLLs with the platform plug-ins in platforms/. Copied
# into bin/ of the build, where the tests run, and installed with the suite.
if(NOT MINGW)
    return()
endif()

set(ZUB_RUNTIME_DLLS)
foreach(dll IN ITEMS libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} knows no ${dll}")
    endif()
    get_filename_component(path "${path}" REALPATH)
    list(APPEND ZUB_RUNTIME_DLLS "${path}")
endforeach()

set(ZUB_QT_DLLS)
set(ZUB_QT_PLATFORM_DLLS)
set(ZUB_BIN ${CMAKE_BINARY_DIR}/bin)
set(ZUB_COPY_QT)
if(ZUB_WITH_QT)
    foreach(module IN ITEMS Core Gui Widgets)
        list(APPEND ZUB_QT_DLLS $<TARGET_FILE:Qt5::${module}>)
    endforeach()
    foreach(plugin IN ITEMS QWindowsIntegrationPlugin QOffscreenIntegrationPlugin)
        list(APPEND ZUB_QT_PLATFORM_DLLS $<TARGET_FILE:Qt5::${plugin}>)
    endforeach()
    set(ZUB_COPY_QT
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ZUB_BIN}/platforms
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZUB_QT_DLLS} $<TARGET_FILE:Qt5::Test> ${ZUB_BIN}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZUB_QT_PLATFORM_DLLS} ${ZUB_BIN}/platforms)
endif()

add_custom_target(zub_windows_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZUB_BIN}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ZUB_RUNTIME_DLLS} ${ZUB_BIN}
    ${ZUB_COPY_QT}
    VERBATIM)

install(FILES ${ZUB_RUNTIME_DLLS} ${ZUB_QT_DLLS} DESTINATION bin COMPONENT suite)
if(ZUB_WITH_QT)
    install(FILES ${ZUB_QT_PLATFORM_DLLS} DESTINATION bin/platforms COMPONENT suite)
endif()
