# The Debian package, built by CPack from the install rules: `cpack -G DEB` in any configured
# build folder, or `make package`. Included from the top CMakeLists so that CPackConfig.cmake
# lands in the build folder itself.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quantem)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Quantem developers")
set(CPACK_PACKAGE_CONTACT "The Quantem developers <quantem@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "curve fitting by least squares")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The binaries' debug information stays in the build folder.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://github.com/quantem/quantem)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
# One line of the control file's extended description per line here: CPack does not wrap them.
set(CPACK_PACKAGE_DESCRIPTION "Quantem fits one of 52 fixed regression models, or an equation
you type, to measured samples by least squares, with the coefficients, power
exponents and their statistics, charts of the fit, a ranking of every model
by AICc, and a command-line program (quantem-fit) that runs the same fits
without a display.")
# What the programs link is found by dpkg-shlibdeps; the window system plugins are loaded at
# run time, so nothing names them but this.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The face that has the Chinese characters of some of the program's texts.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei")
# The control files with the permissions Debian asks for, whatever the umask of the builder, and
# the package's folders 0755.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackagePermissions.cmake)

# The package's changelog names the version it is for; a new version needs its entry.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog quantem_changelog_head LIMIT_COUNT 1)
if(NOT quantem_changelog_head MATCHES "^quantem \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog does not begin with an entry for version "
        "${PROJECT_VERSION}: add one")
endif()

include(CPack)
