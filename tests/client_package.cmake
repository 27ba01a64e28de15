# Installs the built library into a temporary prefix (not the configured one),
# then builds and runs the client of examples/client against it twice: as a
# CMake project through find_package, and compiled through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

macro(run)
    execute_process(COMMAND ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endmacro()

# The client builds below need the headers, libraries and package files; the
# release packages check the whole list of installed files.
run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# The library exports its public interface, not its internal helpers.
run(nm -D -C --defined-only ${prefix}/lib/libkolvutil.so OUTPUT_VARIABLE exported)
if(NOT exported MATCHES "COSUtil::GetHomeDir")
    message(FATAL_ERROR "cannot list the exported symbols")
endif()
if(exported MATCHES "kolv::|anonymous namespace|EnvText|InstallationOf")
    message(FATAL_ERROR "internal symbols are exported:\n${exported}")
endif()

run(${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/client -B ${WORK_DIR}/build -G Ninja
    -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} "-DCMAKE_CXX_FLAGS=${CXX_FLAGS}")
run(${CMAKE_COMMAND} --build ${WORK_DIR}/build)
run(${WORK_DIR}/build/kolvclient)

set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
run(pkg-config --cflags --libs kolvutil OUTPUT_VARIABLE flags)
run(pkg-config --modversion kolvutil OUTPUT_VARIABLE version OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS} ${flags}")
list(APPEND flags "-DKOLVUTIL_VERSION=\"${version}\"")
run(${CXX} -std=c++17 ${SOURCE_DIR}/examples/client/main.cpp ${flags} -Wl,-rpath,${prefix}/lib
    -o ${WORK_DIR}/pkgconfig-client)
run(${WORK_DIR}/pkgconfig-client)
