# Where the programs are installed, and the Debian package CPack makes of an install (`cpack -G DEB` in the build
# folder, or scripts/package).
#
# On Linux both programs live in a folder of their own, /usr/lib/tallyrun, so that the window always finds its
# client beside itself and never another program called osql (FreeTDS's freetds-bin owns /usr/bin/osql). The
# commands in /usr/bin are relative symbolic links into that folder; the client's is named tallyrun-osql.
include(GNUInstallDirs)
set(TALLYRUN_PROGRAM_DIR lib/tallyrun)
# The package's folders the same whatever the umask of whoever built it.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# tallyrun_install_program(TARGET COMMAND) — installs TARGET, and on Linux links COMMAND in the command folder to it.
function(tallyrun_install_program target command)
    if(WIN32)
        # GNU ld's own record of every archive member it took in: scripts/package names the statically linked
        # parts in the programs' SBOM from it.
        if(MINGW)
            target_link_options(${target} PRIVATE "LINKER:-Map=$<TARGET_FILE:${target}>.map")
        endif()
        install(TARGETS ${target} RUNTIME)
        return()
    endif()
    install(TARGETS ${target} RUNTIME DESTINATION ${TALLYRUN_PROGRAM_DIR})
    set(link ${CMAKE_CURRENT_BINARY_DIR}/commands/${command})
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/commands)
    file(CREATE_LINK ../${TALLYRUN_PROGRAM_DIR}/${target} ${link} SYMBOLIC)
    install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# tallyrun_install_gzipped(SOURCE DESTINATION) — installs SOURCE compressed the way Debian wants manual pages and
# change logs: gzip -9 without a name or time stamp, so that the same text always compresses to the same file.
function(tallyrun_install_gzipped source destination)
    get_filename_component(name ${source} NAME)
    set(copy ${CMAKE_CURRENT_BINARY_DIR}/gzipped/${name})
    add_custom_command(OUTPUT ${copy}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/${source} ${copy}
        COMMAND gzip -9nf ${copy}
        DEPENDS ${source}
        VERBATIM)
    string(MAKE_C_IDENTIFIER ${name} id)
    add_custom_target(gzip_${id} ALL DEPENDS ${copy}.gz)
    install(FILES ${copy}.gz DESTINATION ${destination})
endfunction()

if(WIN32 OR TALLYRUN_FUZZ)
    return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tallyrun)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "Tallyrun maintainers <maintainers@tallyrun.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "correct the usage figures of a SQL Server database")
set(CPACK_PACKAGE_DESCRIPTION
    "Tallyrun has SQL Server count again how much space each table of a database\n"
    "takes and how many rows it holds (DBCC UPDATEUSAGE), signing in as the user\n"
    "with a Kerberos ticket. A small window names the server and the database and\n"
    "can list the servers on the network and the databases on a server.\n"
    "\n"
    "The package also holds its command-line client, tallyrun-osql, which runs one\n"
    "query against SQL Server through ODBC.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds Qt and the C++ run time in the programs. The driver manager, Kerberos and GnuTLS are opened
# by name on first use, so it cannot see them; the FreeTDS driver is loaded by the driver manager, and signs in through
# GSSAPI.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libodbc2, libkrb5-3, libgssapi-krb5-2, libgnutls30, tdsodbc")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS krb5-user)
include(CPack)
