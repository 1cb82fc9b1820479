# The suite as its installer lays it out, the same on Linux and Windows:
#   component suite  bin/                 demo host, plug-in, host libraries and
#                                         what they need (winport on Linux; the
#                                         C++ runtime, Qt and platforms/ on Windows)
#                    Module/QualityControl/1/QualityControl/  the module, older version
#   component demo   qor/x64/qorcore.dll  the stand-in platform core
#                    packages/            the module's newer version, to be offered
# Files are installed as built: on Linux their run path ($ORIGIN, the suite's
# bin/ from the module and core folders) holds in this layout too.
if(NOT ZUB_WITH_QT)
    return()
endif()

set(ZUB_SUITE_BIN_TARGETS ZubQualityControlProxy64d)
if(NOT ZUB_SDK_DIR)
    list(APPEND ZUB_SUITE_BIN_TARGETS ZubCommon64d ZubControl64d)
endif()
if(NOT WIN32)
    list(APPEND ZUB_SUITE_BIN_TARGETS winport)
endif()
foreach(target IN LISTS ZUB_SUITE_BIN_TARGETS)
    install(FILES $<TARGET_FILE:${target}> DESTINATION bin COMPONENT suite)
endforeach()
install(PROGRAMS $<TARGET_FILE:zubhost> DESTINATION bin COMPONENT suite)
install(FILES $<TARGET_FILE:ZubQualityControl64d>
        DESTINATION Module/QualityControl/1/QualityControl COMPONENT suite)

install(FILES $<TARGET_FILE:qorcore> DESTINATION qor/x64 COMPONENT demo)
install(FILES $<TARGET_FILE:ZubQualityControl64d_package> DESTINATION packages COMPONENT demo)

# The same layout inside the build, for the end-to-end tests to copy.
set(ZUB_SUITE_IMAGE ${CMAKE_BINARY_DIR}/suite-image)
add_custom_target(zub_suite_image ALL
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${ZUB_SUITE_IMAGE}
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${ZUB_SUITE_IMAGE}
            --component suite
    COMMAND ${CMAKE_COMMAND} --install ${CMAKE_BINARY_DIR} --prefix ${ZUB_SUITE_IMAGE}
            --component demo
    VERBATIM)
add_dependencies(zub_suite_image ${ZUB_SUITE_BIN_TARGETS} zubhost ZubQualityControl64d qorcore
                 ZubQualityControl64d_package)
if(TARGET zub_windows_runtime)
    add_dependencies(zub_suite_image zub_windows_runtime)
endif()
