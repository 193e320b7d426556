# The Debian package: `make deb` (or `cpack -G DEB` in the build folder) writes
# glimmerq_VERSION_ARCH.deb with everything `cmake --install` installs under /usr, plus the
# copyright file and the changelog Debian asks of every package. scripts/check-deb checks it.
#
# Sets GLIMMERQ_APP_ID (the desktop entry's and the software centre's id, also the icon's name)
# and GLIMMERQ_LINTIAN_ACCEPTED (lintian tags the package is known to raise, each explained).

set(GLIMMERQ_APP_ID org.quorv0xe.glimmerq)
set(GLIMMERQ_MAINTAINER "quorV0!xe <glimmerq@quorv0xe.org>" CACHE STRING
    "the package's Maintainer field: name <address>")

# The newest release in the software centre's entry is the one being built: its version must be
# the project's, and its date dates the Debian changelog.
set(GLIMMERQ_METAINFO ${PROJECT_SOURCE_DIR}/dist/${GLIMMERQ_APP_ID}.metainfo.xml)
file(STRINGS ${GLIMMERQ_METAINFO} newest_release REGEX "<release " LIMIT_COUNT 1)
if(NOT newest_release MATCHES "version=\"([^\"]+)\" date=\"([0-9-]+)\"")
    message(FATAL_ERROR "${GLIMMERQ_METAINFO}: the first <release> has no version and date")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "${GLIMMERQ_METAINFO}: the newest release is ${CMAKE_MATCH_1}, "
                        "but the project is ${PROJECT_VERSION}: add a <release> for it")
endif()
execute_process(COMMAND date -u -R -d ${CMAKE_MATCH_2}
    OUTPUT_VARIABLE release_date OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

# Debian's documentation files: the copyright as written, the changelog made from the release.
# Both are compressed without a name or time stamp, so the same sources give the same bytes.
set(GLIMMERQ_DEBIAN_DOCS ${PROJECT_BINARY_DIR}/debian-doc)
file(MAKE_DIRECTORY ${GLIMMERQ_DEBIAN_DOCS})
file(WRITE ${GLIMMERQ_DEBIAN_DOCS}/changelog
    "glimmerq (${PROJECT_VERSION}) unstable; urgency=medium\n\n"
    "  * Release ${PROJECT_VERSION}: see the releases in ${GLIMMERQ_APP_ID}.metainfo.xml.\n\n"
    " -- ${GLIMMERQ_MAINTAINER}  ${release_date}\n")
execute_process(COMMAND gzip -9nf ${GLIMMERQ_DEBIAN_DOCS}/changelog COMMAND_ERROR_IS_FATAL ANY)
install(FILES ${GLIMMERQ_DEBIAN_DOCS}/changelog.gz dist/copyright
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

# Relocations read-only once the program has started, as Debian's own packages are linked.
target_link_options(glimmerq PRIVATE LINKER:-z,relro,-z,now)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME glimmerq)
set(CPACK_PACKAGE_VENDOR "quorV0!xe")
set(CPACK_PACKAGE_CONTACT "${GLIMMERQ_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time OpenGL demo with its own soundtrack")
set(CPACK_PACKAGE_DESCRIPTION
    "glimmerQ is a two and a half minute demo by the group quorV0!xe: eighteen\n"
    "OpenGL effects, layered by a timeline script, play to an electronic\n"
    "soundtrack. It plays full screen or in a window, and can also write the\n"
    "show as PNG frames or, with ffmpeg, as a video file.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Library packages from the program's own links (dpkg-shlibdeps); ffmpeg only for --video.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS ffmpeg)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)

# Lintian tags the package may raise without failing scripts/check-deb, comma-separated, each
# with the reason it stays. None today: lintian 2.116 reports no error and no warning. Its two
# remarks (information, not warnings) stay on purpose:
#   binary-has-unneeded-section .comment  the compilers' version notes: CMake's strip keeps them
#                                         (Debian's dh_strip drops them); they cost a few bytes.
#   hardening-no-fortify-functions        every build shares one set of compile flags, tests and
#                                         sanitizers included; add -D_FORTIFY_SOURCE=2 through
#                                         CMAKE_CXX_FLAGS for a fortified package.
set(GLIMMERQ_LINTIAN_ACCEPTED "")
