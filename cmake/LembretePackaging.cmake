# Debian packages of the server and of the desktop client, built by CPack from the same build:
#   cmake --build --preset default --target package   ->  build/default/packages/*.deb
# lembrete-server: the program, its systemd unit, /etc/default/lembrete-server, and the scripts
# that create its user. lembrete-client: the program, the module, the desktop entry, the icons.
# The dependencies on shared libraries are found by dpkg-shlibdeps.
set(LEMBRETE_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging/debian)
install(FILES ${LEMBRETE_PACKAGING_DIR}/lembrete-server.service
        DESTINATION lib/systemd/system COMPONENT server)
install(FILES ${LEMBRETE_PACKAGING_DIR}/lembrete-server.default
        DESTINATION /etc/default RENAME lembrete-server COMPONENT server)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lembrete)
set(CPACK_PACKAGE_VENDOR "Lembrete")
set(CPACK_PACKAGE_CONTACT "Equipe do Lembrete <lembrete@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL server client)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# SOCI opens its database backends by name at run time, so dpkg-shlibdeps does not see them:
# the packages that hold the libraries this build linked are named here.
set(LEMBRETE_SOCI_BACKEND_PACKAGES)
foreach(library ${SOCI_SQLITE3_LIBRARY} ${SOCI_POSTGRESQL_LIBRARY})
    file(REAL_PATH ${library} resolved)
    execute_process(COMMAND dpkg-query --search ${resolved} OUTPUT_VARIABLE owner
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "No Debian package holds ${resolved}")
    endif()
    string(REGEX REPLACE "[:].*" "" owner "${owner}")
    list(APPEND LEMBRETE_SOCI_BACKEND_PACKAGES ${owner})
endforeach()
list(JOIN LEMBRETE_SOCI_BACKEND_PACKAGES ", " LEMBRETE_SOCI_BACKEND_PACKAGES)

set(CPACK_DEBIAN_SERVER_PACKAGE_NAME lembrete-server)
set(CPACK_DEBIAN_SERVER_PACKAGE_DEPENDS "adduser, ${LEMBRETE_SOCI_BACKEND_PACKAGES}")
set(CPACK_DEBIAN_SERVER_PACKAGE_SECTION net)
set(CPACK_DEBIAN_SERVER_PACKAGE_CONTROL_EXTRA
    ${LEMBRETE_PACKAGING_DIR}/postinst ${LEMBRETE_PACKAGING_DIR}/prerm
    ${LEMBRETE_PACKAGING_DIR}/postrm ${LEMBRETE_PACKAGING_DIR}/conffiles)
string(CONCAT CPACK_COMPONENT_SERVER_DESCRIPTION
    "Lembrete: servidor de lembretes e agenda\n"
    "Servidor HTTP/JSON-RPC dos lembretes dos operadores, em SQLite ou\n"
    "PostgreSQL, com um serviço do systemd (usuário próprio, dados em\n"
    "/var/lib/lembrete).")

set(CPACK_DEBIAN_CLIENT_PACKAGE_NAME lembrete-client)
# The window system plug-ins and Qt's own Portuguese texts are loaded at run time.
set(CPACK_DEBIAN_CLIENT_PACKAGE_DEPENDS qt6-qpa-plugins)
set(CPACK_DEBIAN_CLIENT_PACKAGE_RECOMMENDS qt6-translations-l10n)
set(CPACK_DEBIAN_CLIENT_PACKAGE_SECTION x11)
string(CONCAT CPACK_COMPONENT_CLIENT_DESCRIPTION
    "Lembrete: cliente de lembretes e agenda\n"
    "Cliente de mesa (Qt 6) e o módulo PKG_LMB00300: agenda,\n"
    "manutenção de lembretes, alarmes.")

include(CPack)
