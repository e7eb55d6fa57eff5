# The Debian package: `cpack -G DEB` in the build folder makes build/tarvik_<version>_<arch>.deb
# from what `cmake --install` installs. Its dependencies are found by dpkg-shlibdeps (package
# dpkg-dev). It has no maintainer scripts: the desktop's own triggers refresh the caches of
# desktop entries, MIME types and icons when it is installed or removed.
set(CPACK_PACKAGE_NAME tarvik)
set(CPACK_PACKAGE_VENDOR "Tarvik Project")
set(CPACK_PACKAGE_CONTACT "Tarvik Project <tarvik@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "job-managing web browser")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvik is a web browser with a Japanese interface that organises\n\
browsing into jobs: named, ordered lists of pages kept as small text\n\
files. Pick a job and step through its pages with five buttons. It also\n\
has an address bar, three one-click pockets, a menu of recent pages,\n\
favorites kept as Internet Shortcut files and skins. It is built with\n\
gtkmm around the WebKitGTK engine.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})

set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The interface is Japanese; without a Japanese font its texts show as boxes.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "desktop-file-utils, shared-mime-info, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The files the package owns get the modes Debian expects, whatever the umask of the build.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
