# The relocatable archive, made by cpack in a Release build (the package
# presets): every component under one top folder, lib/ beside bin/ (the
# presets set the library folder), which the application bundles. The Debian
# packages are built from debian/ with dpkg-buildpackage.
# Components: runtime (the shared libraries and their SONAME links),
# development (headers, .so links, CMake package, kolvutil.pc) and tool
# (kolvenv, its man page and its bash completion).

set(CPACK_PACKAGE_NAME kolvutil)
set(CPACK_PACKAGE_VENDOR "KolvUtil developers")
# The architecture the code is built for, named as Debian names it on x86:
# a -m32 build on a 64-bit machine is i386.
set(package_arch ${CMAKE_SYSTEM_PROCESSOR})
if(package_arch MATCHES "^(x86_64|AMD64|i.86)$")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(package_arch i386)
    else()
        set(package_arch amd64)
    endif()
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux-${package_arch})
set(CPACK_GENERATOR TGZ)
set(CPACK_COMPONENTS_ALL runtime development tool)
set(CPACK_STRIP_FILES ON)

# ----- Reproducible archive --------------------------------------------------
# Every date in the archive is SOURCE_DATE_EPOCH: the caller's, or else the
# time of the last commit. The archive is rewritten in a fixed order with
# fixed owners and times (cmake/RepackArchive.cmake), in cpack's process,
# whose environment the project config file sets.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(source_date_epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                    OUTPUT_VARIABLE source_date_epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE git_status ERROR_QUIET)
    if(NOT git_status EQUAL 0 OR source_date_epoch STREQUAL "")
        message(WARNING "No SOURCE_DATE_EPOCH and no git history: package dates are today's")
        string(TIMESTAMP source_date_epoch "%s" UTC)
    endif()
endif()
configure_file(cmake/CPackProjectConfig.cmake.in ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RepackArchive.cmake)

# With KOLVUTIL_ARCHIVE_DOCS (the package presets) each component carries the
# copyright file and the changelog under share/doc, as the Debian packages
# do; debhelper installs its own.
option(KOLVUTIL_ARCHIVE_DOCS "Install each component's copyright and changelog under share/doc" OFF)
if(KOLVUTIL_ARCHIVE_DOCS)
    execute_process(COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/debian/changelog
                    OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/debian/changelog)
    foreach(component_package runtime:libkolvutil${PROJECT_VERSION_MAJOR} development:libkolvutil-dev
                              tool:kolvenv)
        string(REPLACE ":" ";" component_package ${component_package})
        list(GET component_package 0 component)
        list(GET component_package 1 package)
        install(FILES debian/copyright ${PROJECT_BINARY_DIR}/changelog.gz
                DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package} COMPONENT ${component})
    endforeach()
endif()

include(CPack)
