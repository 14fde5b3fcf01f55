# Linux: installation and the Debian package: executables, desktop entry, icon, AppStream
# metadata, manual pages, the remote service's systemd unit and its environment file.
# scripts/package.sh builds the package (cpack -G DEB); scripts/check-package.sh checks it.
include(GNUInstallDirs)

set(ZELKA_PACKAGE_NAME zelka-utility)
set(ZELKA_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${ZELKA_PACKAGE_NAME})
set(ZELKA_SYSTEMD_UNIT_DIR "lib/systemd/system" CACHE STRING
    "Where the systemd unit goes (relative to the prefix, or absolute)")
# systemd reads the unit's environment file from here, so it is an absolute path whatever
# the prefix; with the prefix /usr, GNUInstallDirs makes it /etc.
set(ZELKA_SERVE_ENVIRONMENT_FILE ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default/zelka-serve)

# The command-line front end may not be in the tree yet; everything that needs it (its
# manual page, the service) is left out until it is.
set(ZELKA_HAVE_CLI OFF)
if(TARGET zelka)
  set(ZELKA_HAVE_CLI ON)
endif()

# --- executables -------------------------------------------------------------------------
install(TARGETS zelka-utility zelka-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(ZELKA_PROGRAMS zelka-utility zelka-sim)
if(ZELKA_HAVE_CLI)
  install(TARGETS zelka RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  list(APPEND ZELKA_PROGRAMS zelka)
endif()
# A stripped install (the package's) also drops the compiler's version stamps, as Debian's
# own packages do; install(TARGETS) strips only the symbols.
if(CMAKE_OBJCOPY)
  install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
      foreach(program ${ZELKA_PROGRAMS})
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endforeach()
    endif()")
endif()

# --- desktop integration -----------------------------------------------------------------
install(FILES zelka-utility.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES zelka-utility.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(ZELKA_METAINFO_CLI_BINARY "")
if(ZELKA_HAVE_CLI)
  set(ZELKA_METAINFO_CLI_BINARY "\n    <binary>zelka</binary>")
endif()
configure_file(example.zelka.utility.metainfo.xml.in example.zelka.utility.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/example.zelka.utility.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# --- manual pages, from the programs' own --help -----------------------------------------
find_program(HELP2MAN_EXECUTABLE help2man)
find_program(GZIP_EXECUTABLE gzip)
option(ZELKA_MAN_PAGES "Build the manual pages with help2man" ON)
set(ZELKA_MAN_PAGE_FILES "")

# zelka_man_page(<target> <one-line description> [STDERR] [INCLUDE file])
# STDERR: the program prints its help on standard error. The page is gzipped (-n: no
# name or time stamp, so that the package is reproducible), as Debian's policy asks.
function(zelka_man_page target description)
  cmake_parse_arguments(PARSE_ARGV 2 arg "STDERR" "INCLUDE" "")
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  set(options --no-info --version-string=${PROJECT_VERSION} --name=${description}
              --output=${page})
  set(depends ${target})
  if(arg_STDERR)
    list(APPEND options --no-discard-stderr)
  endif()
  if(arg_INCLUDE)
    list(APPEND options --include=${CMAKE_CURRENT_SOURCE_DIR}/${arg_INCLUDE})
    list(APPEND depends ${CMAKE_CURRENT_SOURCE_DIR}/${arg_INCLUDE})
  endif()
  add_custom_command(
    OUTPUT ${page}.gz
    # Qt needs a platform even for --help; its warnings (no XDG_RUNTIME_DIR under CI)
    # would otherwise end up in the pages made from standard error.
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES=default.warning=false
            ${HELP2MAN_EXECUTABLE} ${options} $<TARGET_FILE:${target}>
    COMMAND ${GZIP_EXECUTABLE} -9nf ${page}
    DEPENDS ${depends}
    COMMENT "Manual page of ${target}"
    VERBATIM)
  set(ZELKA_MAN_PAGE_FILES ${ZELKA_MAN_PAGE_FILES} ${page}.gz PARENT_SCOPE)
endfunction()

if(ZELKA_MAN_PAGES AND HELP2MAN_EXECUTABLE AND GZIP_EXECUTABLE)
  zelka_man_page(zelka-utility "service utility for Zelka receipt printers")
  zelka_man_page(zelka-sim "simulated Zelka receipt printer on a pseudo-terminal"
                 INCLUDE zelka-sim.h2m)
  if(ZELKA_HAVE_CLI)
    zelka_man_page(zelka "command-line front end of the Zelka printer utility")
  endif()
  add_custom_target(man_pages ALL DEPENDS ${ZELKA_MAN_PAGE_FILES})
  install(FILES ${ZELKA_MAN_PAGE_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(ZELKA_MAN_PAGES)
  message(STATUS "help2man or gzip not found: no manual pages (scripts/install-deps.sh installs them)")
endif()

# --- documentation that Debian's policy asks for -----------------------------------------
if(GZIP_EXECUTABLE)
  set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
  add_custom_command(
    OUTPUT ${changelog}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog ${changelog}
    COMMAND ${GZIP_EXECUTABLE} -9nf ${changelog}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/debian/changelog
    VERBATIM)
  add_custom_target(package_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${ZELKA_DOC_DIR})
endif()
install(FILES debian/copyright debian/README.Debian DESTINATION ${ZELKA_DOC_DIR})

# --- the remote service ------------------------------------------------------------------
if(ZELKA_HAVE_CLI)
  set(ZELKA_CLI_PATH ${CMAKE_INSTALL_FULL_BINDIR}/zelka)
  configure_file(zelka-serve.service.in zelka-serve.service @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/zelka-serve.service DESTINATION ${ZELKA_SYSTEMD_UNIT_DIR})
  install(FILES zelka-serve.default DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/default
          RENAME zelka-serve)
  install(FILES debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          RENAME ${ZELKA_PACKAGE_NAME})
endif()

# --- the Debian package ------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ZELKA_PACKAGE_NAME})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zelka utility maintainers")
set(CPACK_PACKAGE_CONTACT "Zelka utility maintainers <maintainers@zelka.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "service utility for Zelka serial receipt printers")
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Finds a Zelka receipt printer (80 mm or 57 mm paper) on a serial port at
any of its rates, reads its identity and state, changes its stored
settings, loads its logo, prints test receipts, pictures and QR codes,
and updates its firmware.
Includes the window (zelka-utility), a command-line front end (zelka),
a systemd service that lets POS software drive the printer over TCP
(zelka-serve, not enabled on installation), and a printer simulator for
trying it out (zelka-sim).")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zelka.example/")
# Without a Debian revision: the package is built from this tree (a native package).
set(CPACK_DEBIAN_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the binaries' libraries (Debian's Qt), through dpkg-shlibdeps; the
# maintainer scripts need adduser.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "adduser")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(control_extra
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/postinst
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/prerm
    ${CMAKE_CURRENT_SOURCE_DIR}/debian/postrm)
if(ZELKA_HAVE_CLI)
  # dpkg keeps an administrator's changes to the environment file on upgrades.
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/conffiles "${ZELKA_SERVE_ENVIRONMENT_FILE}\n")
  list(APPEND control_extra ${CMAKE_CURRENT_BINARY_DIR}/conffiles)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${control_extra})
include(CPack)
