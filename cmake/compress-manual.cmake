# Run by CPack on its staging tree before the .deb is made: the manual pages compressed as Debian
# wants them (gzip -9n: no name or time stamp, so the same page gives the same bytes).
file(GLOB_RECURSE pages ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.1)
list(FILTER pages INCLUDE REGEX "/man/man1/[^/]+\\.1$")
foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -9nf ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
