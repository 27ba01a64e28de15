# Installs the built library into a temporary prefix (not the configured one),
# then builds and runs the client of examples/client against it twice: as a
# CMake project through find_package, and compiled through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "failed (${status}): ${ARGN}")
    endif()
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
foreach(file include/kolvutil/OSUtil.h include/kolvutil/Scrivane.h lib/libkolvutil.so
             lib/libScrivane.so bin/kolvenv lib/cmake/KolvUtil/KolvUtilConfig.cmake
             lib/pkgconfig/kolvutil.pc)
    if(NOT EXISTS ${prefix}/${file})
        message(FATAL_ERROR "not installed: ${file}")
    endif()
endforeach()

# The library exports its public interface, not its internal helpers.
execute_process(COMMAND nm -D -C --defined-only ${prefix}/lib/libkolvutil.so
                OUTPUT_VARIABLE exported RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR NOT exported MATCHES "COSUtil::GetHomeDir")
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
execute_process(COMMAND pkg-config --cflags --libs kolvutil OUTPUT_VARIABLE flags
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND pkg-config --modversion kolvutil OUTPUT_VARIABLE version
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(flags UNIX_COMMAND "${CXX_FLAGS} ${flags}")
list(APPEND flags "-DKOLVUTIL_VERSION=\"${version}\"")
run(${CXX} -std=c++17 ${SOURCE_DIR}/examples/client/main.cpp ${flags} -Wl,-rpath,${prefix}/lib
    -o ${WORK_DIR}/pkgconfig-client)
run(${WORK_DIR}/pkgconfig-client)
