# Debian packages, made by scripts/package-deb.sh (cpack -G DEB on a Release build configured
# with -DVELKARO_INSTALL_GAME_BINDIR=games, as Debian keeps games in /usr/games):
#   velkaro         the game: program, data, desktop entry, icons, AppStream metadata
#   velkaro-scores  the world high-score service with a systemd unit; it replays daily races
#                   with the game's data, so it depends on the game package of its own version
# Each install rule names its package's component (game or scores); the library dependencies
# are read from the binaries by dpkg-shlibdeps, but for libcurl, which the game loads only when
# it first goes online and so names itself.

# The version the programs report (src/common/Version.h) is the packages' version.
file(STRINGS ${PROJECT_SOURCE_DIR}/src/common/Version.h VELKARO_VERSION_LINE
  REGEX "kVelkaroVersion = \"[^\"]+\"")
string(REGEX REPLACE ".*\"([^\"]+)\".*" "\\1" VELKARO_VERSION "${VELKARO_VERSION_LINE}")
# The changelog's newest entry must be this version: a package with an older one would claim
# a release it is not.
file(STRINGS ${PROJECT_SOURCE_DIR}/dist/debian/changelog VELKARO_CHANGELOG_HEAD LIMIT_COUNT 1)
if(NOT VELKARO_CHANGELOG_HEAD MATCHES "^velkaro \\(${VELKARO_VERSION}\\) ")
  message(WARNING "dist/debian/changelog does not start with version ${VELKARO_VERSION}; "
    "add an entry before packaging")
endif()

# Lintian wants the changelog and the manual pages compressed without a time stamp.
set(VELKARO_DEB_DIR ${CMAKE_BINARY_DIR}/debian)
set(VELKARO_DEB_COMPRESSED)
foreach(file changelog velkaro.6 velkaro-scores.1)
  add_custom_command(OUTPUT ${VELKARO_DEB_DIR}/${file}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELKARO_DEB_DIR}
    COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/dist/debian/${file} > ${VELKARO_DEB_DIR}/${file}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/dist/debian/${file}
    VERBATIM)
  list(APPEND VELKARO_DEB_COMPRESSED ${VELKARO_DEB_DIR}/${file}.gz)
endforeach()
add_custom_target(debian_docs ALL DEPENDS ${VELKARO_DEB_COMPRESSED})

install(FILES ${VELKARO_DEB_DIR}/velkaro.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6
  COMPONENT game)
install(FILES ${VELKARO_DEB_DIR}/changelog.gz dist/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velkaro COMPONENT game)

# The score service, its manual page, its papers and its systemd unit. The unit names the
# program and the game's data by the prefix the install goes to (/usr in the package), so it
# is written when installing rather than when configuring.
install(TARGETS velkaro-scores RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT scores)
install(FILES ${VELKARO_DEB_DIR}/velkaro-scores.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  COMPONENT scores)
install(FILES ${VELKARO_DEB_DIR}/changelog.gz dist/debian/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/velkaro-scores COMPONENT scores)
install(CODE "
  set(VELKARO_UNIT_BIN \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(VELKARO_UNIT_DATA \"\${CMAKE_INSTALL_PREFIX}/${VELKARO_INSTALL_DATA_DIR}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/dist/debian/velkaro-scores.service.in\"
    \"${VELKARO_DEB_DIR}/velkaro-scores.service\" @ONLY)"
  COMPONENT scores)
install(FILES ${VELKARO_DEB_DIR}/velkaro-scores.service DESTINATION lib/systemd/system
  COMPONENT scores)

set(CPACK_PACKAGE_NAME velkaro)
set(CPACK_PACKAGE_VERSION ${VELKARO_VERSION})
set(CPACK_PACKAGE_VENDOR "The Velkaro developers")
set(CPACK_PACKAGE_CONTACT "The Velkaro developers <developers@velkaro.net>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://velkaro.net/")
# Debian packages install to /usr, whatever prefix the build folder has for cmake --install.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENTS_ALL game scores)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE velkaro)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_DEBIAN_GAME_PACKAGE_NAME velkaro)
set(CPACK_DEBIAN_GAME_PACKAGE_SECTION games)
# libcurl.so.4 is loaded at run time (src/shell/CurlLibrary.cpp), out of dpkg-shlibdeps' sight;
# 7.68 is the oldest with every function the game uses (curl_multi_wakeup). dpkg-shlibdeps'
# findings are added after this.
set(CPACK_DEBIAN_GAME_PACKAGE_DEPENDS "libcurl4 (>= 7.68.0)")
set(CPACK_COMPONENT_GAME_DESCRIPTION "top-down arcade car racing game
Race computer-driven opponents on roads generated anew for every race, seen
from above. Collect coins, repair kits and extra time, keep clear of spikes,
puddles and bombs, and win the prize before the clock runs out. Each race is
harder than the last.
.
Plays with the keyboard, the mouse or a game controller, in a window of any
size or in full screen.")

set(CPACK_DEBIAN_SCORES_PACKAGE_NAME velkaro-scores)
set(CPACK_DEBIAN_SCORES_PACKAGE_SECTION net)
# The exact game version: the service checks a daily race by replaying it with the installed
# game's data, and takes a submission only from the version it is itself.
set(CPACK_DEBIAN_SCORES_PACKAGE_DEPENDS "velkaro (= ${VELKARO_VERSION}), adduser")
set(CPACK_DEBIAN_SCORES_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/dist/debian/velkaro-scores/postinst
  ${PROJECT_SOURCE_DIR}/dist/debian/velkaro-scores/prerm
  ${PROJECT_SOURCE_DIR}/dist/debian/velkaro-scores/postrm)
set(CPACK_DEBIAN_SCORES_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENT_SCORES_DESCRIPTION "world high-score service for the Velkaro racing game
Answers the game's version and score requests over HTTP, checks daily races
by replaying them with the game's data, and serves the score pages. It keeps
its data in a SQLite file or a PostgreSQL database.
.
The package runs it from a systemd unit as its own system user, on the local
address only, with its database under /var/lib/velkaro-scores.")

include(CPack)
