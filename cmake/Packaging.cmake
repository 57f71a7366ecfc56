# Install layout and the Debian package: what a user of qlr gets and where.
#
# Everything lands under the GNU directories of the chosen prefix:
#   bin/qlr                          the interpreter
#   share/man/man1/qlr.1             the manual page
#   share/doc/qlr/                   README.md, docs/, examples/ and editors/,
#                                    laid out as in the source tree so that the
#                                    README's relative links still work there
#   share/vim/vimfiles/              the Vim files, where Vim looks for them
#                                    when the prefix is /usr (the package)
#
# Dependencies of the package are found by dpkg-shlibdeps from the libraries
# the installed binary links, so a library added to the qlr target with
# target_link_libraries needs nothing here. A program qlr merely runs, which
# the linker cannot see, would go into CPACK_DEBIAN_PACKAGE_DEPENDS below.
include(GNUInstallDirs)

install(TARGETS qlr RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES docs/qlr.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs FILES_MATCHING PATTERN "*.md")
install(DIRECTORY examples/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples
        FILES_MATCHING PATTERN "*.qlr" PATTERN "*.stdout" PATTERN "*.stderr" PATTERN "*.status"
                       PATTERN "*.stdin")
install(DIRECTORY editors/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/editors)
install(DIRECTORY editors/vim/ DESTINATION ${CMAKE_INSTALL_DATADIR}/vim/vimfiles)

set(QLR_PACKAGE_MAINTAINER "qlr maintainers <maintainers@qlr.invalid>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_NAME qlr)
set(CPACK_PACKAGE_VENDOR "qlr maintainers")
set(CPACK_PACKAGE_CONTACT "${QLR_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interpreter for the Quillora scripting language")
# The long description, in lines short enough for package tools to show as written.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Quillora is a small dynamically typed scripting language whose blocks are"
  "set by indentation, with functions, closures, blueprints (classes with"
  "single inheritance), errors as values and modules. qlr runs Quillora"
  "scripts and offers an interactive loop."
  "The package holds the interpreter, its manual page, a tutorial, a language"
  "reference, example programs and syntax files for Vim and VS Code.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QLR_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION interpreters)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
