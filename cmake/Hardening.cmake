# Build flags by build type, so that every way of building gets them whatever
# flags a preset or the caller sets:
#   Release, RelWithDebInfo, MinSizeRel: the hardening Debian 12 builds its
#     packages with (dpkg-buildflags with hardening=+all), and source paths
#     mapped away so that no build path reaches a binary;
#   Debug: bounds-checked standard containers.
# Position-independent code is on for every target (the top CMakeLists.txt);
# executables are linked as PIE where the toolchain supports it.

set(release_configs "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")

add_compile_options(
    "$<${release_configs}:-fstack-protector-strong;-Wformat;-Werror=format-security>"
    "$<${release_configs}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=;-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")
add_compile_definitions("$<${release_configs}:_FORTIFY_SOURCE=2>"
                        "$<$<CONFIG:Debug>:_GLIBCXX_ASSERTIONS>")
add_link_options("$<${release_configs}:LINKER:-z,relro;LINKER:-z,now>")

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
