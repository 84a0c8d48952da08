# What `cpack` makes of the install: in a Linux build a Debian package whose
# dependencies dpkg-shlibdeps reads from the program itself
# (build/.../zorvak_VERSION_ARCH.deb); in a Windows build a ZIP of the
# program and a short text file (zorvak-VERSION-win32.zip, -win64 for the
# 64-bit build).
set(CPACK_PACKAGE_NAME zorvak)
set(CPACK_PACKAGE_VENDOR "The Zorvak authors")
set(CPACK_PACKAGE_CONTACT "The Zorvak authors <authors@zorvak.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://zorvak.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "arcade shooter: hold the ground against waves of invaders")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Zorvak is an arcade shooter for one player. Your ship moves along the bottom"
    "of the playfield and fires up at waves of invaders: aliens that turn into"
    "kamikazes when they reach the ground, crazy invaders that chase you sideways,"
    "homing fireballs, and escort ships that your ship calls in now and then."
    "Sixteen levels, then the levels start again. Plays with the keyboard or a"
    "gamepad, in a window or full screen.")

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(CPACK_PACKAGE_FILE_NAME zorvak-${PROJECT_VERSION}-win64)
    else()
        set(CPACK_PACKAGE_FILE_NAME zorvak-${PROJECT_VERSION}-win32)
    endif()
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
    set(CPACK_STRIP_FILES ON)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION games)
    set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    # One package of the two components of desktop/CMakeLists.txt: the
    # program in /usr/games, where Debian keeps games, and the desktop's
    # files.  Whatever else is installed (bin/zorvak for a user's own prefix,
    # and anything installed without a component) stays out of it.
    set(CPACK_COMPONENTS_ALL debian_games desktop)
    set(CPACK_DEB_COMPONENT_INSTALL ON)
    set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
endif()
include(CPack)
