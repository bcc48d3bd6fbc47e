# `make package`: a Debian package of the installation, made by CPack from
# the plain build (see the Makefile). It installs under /usr: the programs
# in /usr/lib/skiffpost (linked into /usr/bin), the dictionary and guide in
# /usr/share/skiffpost. The run-time libraries the programs link come from
# dpkg-shlibdeps; the maintainer scripts are dpkg's own triggers (menu,
# icons, manual pages, AppStream), so the package has none.
set(SKFP_PACKAGE_MAINTAINER "Skiffpost Maintainers <maintainers@skiffpost.example>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skiffpost)
set(CPACK_PACKAGE_VENDOR Fenmarch)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${SKFP_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop mail client for POP3 and SMTP")
# The long description, as the Description field holds it after its
# summary line (CPack indents it and marks the empty lines).
set(CPACK_PACKAGE_DESCRIPTION
"Fenmarch Skiffpost downloads mail from POP3 servers, sends it through SMTP
servers (TLS or STARTTLS) and keeps every message in a local store of named
mailboxes. Message bodies are rich text. It has an address book,
signatures, message filters, a spell checker, full-text search of all mail,
mbox and Maildir import and export, and handles mailto: links.

The package holds the client skfp, the command-line tool skfp-tool for
scripting and maintenance, and skfp-uninstall, which removes a user's
desktop registrations.")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Certificates for TLS, the media types of attachments, the desktop's
# helpers for links and the dialer.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ca-certificates, media-types, xdg-utils")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
