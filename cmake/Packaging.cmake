# Release packages, made by cpack in a Release build (the package presets):
#   TGZ  one relocatable archive of every component under one top folder;
#   DEB  one Debian package per component, installed under /usr.
# Components: runtime (the shared libraries and their SONAME links),
# development (headers, .so links, CMake package, kolvutil.pc) and tool
# (kolvenv and its man page).

set(CPACK_PACKAGE_NAME kolvutil)
set(CPACK_PACKAGE_VENDOR "KolvUtil developers")
set(CPACK_PACKAGE_CONTACT "KolvUtil developers <kolvutil@example.org>")
# The architecture the code is built for, named as Debian names it on x86:
# a -m32 build on a 64-bit machine is i386. Elsewhere cpack asks dpkg.
set(package_arch ${CMAKE_SYSTEM_PROCESSOR})
if(package_arch MATCHES "^(x86_64|AMD64|i.86)$")
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(package_arch i386)
    else()
        set(package_arch amd64)
    endif()
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${package_arch})
endif()
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-Linux-${package_arch})
set(CPACK_GENERATOR TGZ DEB)
set(CPACK_COMPONENTS_ALL runtime development tool)
set(CPACK_STRIP_FILES ON)

# ----- Debian packages: one per component, named the Debian way -------------
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE kolvutil)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libkolvutil${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libkolvutil-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_TOOL_PACKAGE_NAME kolvenv)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
# Both depend on exactly this release of the runtime package.
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS runtime)
set(CPACK_COMPONENT_TOOL_DEPENDS runtime)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
# dpkg-shlibdeps computes the Depends on the C and C++ runtime; it finds this
# project's own libraries, which kolvenv needs, in the build tree.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/src ${PROJECT_BINARY_DIR}/msglib)
# An i386 build on an amd64 machine links the machine's lib32 copies of the
# runtime, which dpkg-shlibdeps would name: the Depends are stated instead, as
# it computes them with the lib32 packages named as their i386 twins
# (.ci/check-packages compares the two).
if(package_arch STREQUAL i386 AND CMAKE_HOST_SYSTEM_PROCESSOR STREQUAL x86_64)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    set(cxx_runtime "libgcc-s1 (>= 4.2), libstdc++6 (>= 11)")
    set(CPACK_DEBIAN_RUNTIME_PACKAGE_DEPENDS "libc6 (>= 2.33), ${cxx_runtime}")
    set(CPACK_DEBIAN_TOOL_PACKAGE_DEPENDS "libc6 (>= 2.34), ${cxx_runtime}")
endif()
# The runtime package declares its libraries (shlibs) and has dpkg run
# ldconfig through its trigger. The empty postinst and postrm take the place
# of the ones cpack would write to call ldconfig itself.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/deb/triggers
    ${PROJECT_SOURCE_DIR}/cmake/deb/postinst ${PROJECT_SOURCE_DIR}/cmake/deb/postrm)

# The runtime package's symbols file: cmake/deb/libkolvutil6.symbols lists
# every exported symbol of both libraries with the version that introduced
# it; dpkg-gensymbols writes it in the form a package carries, and fails
# (-c4) when a library exports a symbol more or less than the list. dpkg
# counts a symbol as lost only in a version later than the one that
# introduced it, so the check runs as for a later version ("+next"); the file
# it writes carries the list's versions all the same.
option(KOLVUTIL_PACKAGE_SYMBOLS "Check the exports against the symbols file and package it" OFF)
if(KOLVUTIL_PACKAGE_SYMBOLS)
    find_program(DPKG_GENSYMBOLS dpkg-gensymbols REQUIRED)
    set(symbols_template ${PROJECT_SOURCE_DIR}/cmake/deb/libkolvutil${PROJECT_VERSION_MAJOR}.symbols)
    set(symbols ${PROJECT_BINARY_DIR}/deb/symbols)
    set(symbols_arch)
    if(CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
        set(symbols_arch -a${CPACK_DEBIAN_PACKAGE_ARCHITECTURE})
    endif()
    add_custom_command(OUTPUT ${symbols}
        COMMAND ${DPKG_GENSYMBOLS} -c4 -p${CPACK_DEBIAN_RUNTIME_PACKAGE_NAME} -v${PROJECT_VERSION}+next
                ${symbols_arch} -I${symbols_template} -O${symbols}
                -e$<TARGET_FILE:kolvutil> -e$<TARGET_FILE:Scrivane>
        DEPENDS kolvutil Scrivane ${symbols_template} VERBATIM)
    add_custom_target(deb-symbols ALL DEPENDS ${symbols})
    list(APPEND CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${symbols})
endif()

# Descriptions: the first line is the synopsis; cpack indents the rest.
set(about "KolvUtil is the shared library of general services of the Kolvane
design-optimisation application: home and temporary directories, the user's
preferences file, the executable search path, the installation directory and
its bundled Python, file names, text and log headers, combinatorics, seeded
random numbers, phase timers and debug dumps.
")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "general services of the Kolvane application
${about}
This package holds the shared libraries libkolvutil and libScrivane (the
message library).")
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "general services of the Kolvane application: development files
${about}
This package holds the headers, the CMake package KolvUtil and the pkg-config
file kolvutil.pc.")
set(CPACK_COMPONENT_TOOL_DESCRIPTION "environment report of the KolvUtil library
kolvenv runs the environment logic of the KolvUtil library from the command
line and says what it found: 'kolvenv doctor' reports the home and temporary
directories, the preferences file, the search path, the installation
directory and the Python environment, what is wrong and how to repair it.")

# ----- Reproducible packages -------------------------------------------------
# Every date in the packages is SOURCE_DATE_EPOCH: the caller's, or else the
# time of the last commit. cpack reads it from its own environment, which the
# project config file sets; the archive is then rewritten in a fixed order
# with fixed owners and times (cmake/RepackArchive.cmake).
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
    set(ENV{SOURCE_DATE_EPOCH} ${source_date_epoch})
endif()
configure_file(cmake/CPackProjectConfig.cmake.in ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/CPackProjectConfig.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/RepackArchive.cmake)

# Every package carries the copyright file and the changelog, compressed
# without a time stamp; the archive holds them too.
string(TIMESTAMP changelog_date "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(cmake/deb/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
execute_process(COMMAND gzip -9nc ${PROJECT_BINARY_DIR}/changelog
                OUTPUT_FILE ${PROJECT_BINARY_DIR}/changelog.gz COMMAND_ERROR_IS_FATAL ANY)
foreach(component runtime development tool)
    string(TOUPPER ${component} upper)
    install(FILES cmake/deb/copyright ${PROJECT_BINARY_DIR}/changelog.gz
            DESTINATION share/doc/${CPACK_DEBIAN_${upper}_PACKAGE_NAME} COMPONENT ${component})
endforeach()

# ----- API reference package (libkolvutil-doc) ------------------------------
# With KOLVUTIL_PACKAGE_DOCS (the amd64 package preset) the HTML reference
# that the docs target writes is the component doc: the Debian package
# libkolvutil-doc, Architecture all, with its copyright and changelog. Its
# files are EXCLUDE_FROM_ALL: the archive, a plain install of every
# component, keeps holding the three others only.
option(KOLVUTIL_PACKAGE_DOCS "Package the API reference as libkolvutil-doc (needs KOLVUTIL_BUILD_DOCS)" OFF)
if(KOLVUTIL_PACKAGE_DOCS)
    if(NOT KOLVUTIL_BUILD_DOCS)
        message(FATAL_ERROR "KOLVUTIL_PACKAGE_DOCS needs KOLVUTIL_BUILD_DOCS")
    endif()
    list(APPEND CPACK_COMPONENTS_ALL doc)
    set(CPACK_DEBIAN_DOC_PACKAGE_NAME libkolvutil-doc)
    set(CPACK_DEBIAN_DOC_PACKAGE_ARCHITECTURE all)
    set(CPACK_DEBIAN_DOC_PACKAGE_SECTION doc)
    set(CPACK_COMPONENT_DOC_DESCRIPTION "general services of the Kolvane application: API reference
${about}
This package holds the API reference of the library in HTML, generated from
its headers by doxygen.")
    set(doc_dir share/doc/${CPACK_DEBIAN_DOC_PACKAGE_NAME})
    install(DIRECTORY ${PROJECT_BINARY_DIR}/html/ DESTINATION ${doc_dir}/html
            COMPONENT doc EXCLUDE_FROM_ALL)
    # Its copyright file adds the licence of the scripts doxygen writes.
    file(READ cmake/deb/copyright copyright)
    file(READ cmake/deb/copyright-html copyright_html)
    file(WRITE ${PROJECT_BINARY_DIR}/doc/copyright "${copyright}\n${copyright_html}")
    install(FILES ${PROJECT_BINARY_DIR}/doc/copyright ${PROJECT_BINARY_DIR}/changelog.gz
            DESTINATION ${doc_dir} COMPONENT doc EXCLUDE_FROM_ALL)
    # Registered with doc-base, whose trigger lists it in the documentation menus.
    install(FILES cmake/deb/doc-base DESTINATION share/doc-base RENAME libkolvutil-doc
            COMPONENT doc EXCLUDE_FROM_ALL)
endif()

include(CPack)
