# Run by cpack after it has written the packages: rewrites each .tar.gz so
# that the same files give the same bytes. The members are sorted by name,
# owned by 0:0, dated SOURCE_DATE_EPOCH, with modes that do not depend on the
# umask; gzip stores neither name nor time.
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.tar\\.gz$")
        continue()
    endif()
    set(unpacked ${package}.unpacked)
    file(REMOVE_RECURSE ${unpacked})
    file(MAKE_DIRECTORY ${unpacked})
    execute_process(COMMAND tar -xzf ${package} -C ${unpacked} COMMAND_ERROR_IS_FATAL ANY)
    file(GLOB top RELATIVE ${unpacked} ${unpacked}/*)
    execute_process(COMMAND tar --sort=name --owner=0 --group=0 --numeric-owner
                            --mtime=@$ENV{SOURCE_DATE_EPOCH} --mode=u+rwX,go+rX,go-w
                            --format=gnu -C ${unpacked} -cf - ${top}
                    COMMAND gzip -9n
                    OUTPUT_FILE ${package}
                    COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${unpacked})
endforeach()
