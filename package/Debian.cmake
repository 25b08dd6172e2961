# The Debian package of the installed tree (scripts/package.sh builds it): CPack's DEB generator,
# the libraries' packages found by dpkg-shlibdeps, installed under /usr. The files Debian's
# policy adds to a package (changelog, copyright, compressed manual pages) are put in by
# PrepareDebian.cmake once the tree is installed for packing.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumarian)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvane")
set(CPACK_PACKAGE_CONTACT "Quorvane CPU Lumarian developers <lumarian@quorvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tells exactly which x86 processors this machine has")
# Debian's policy keeps the description's lines within 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane CPU Lumarian runs CPUID on every logical processor and decodes
vendor, signature, brand string, feature flags, caches, TLBs, topology and
power management. It names each processor from a built-in database (marketing
name, code name, rating, socket, process, transistors, die size, logo) and
measures its core clock every two seconds.

A small driver process, started through pkexec with an administrator's
permission, reads the multiplier from the processor's model-specific
registers and the firmware's SMBIOS tables, and answers nothing else.
Besides the window there are a text and a JSON report and a dump of every
CPUID answer; CPUID listings of other machines can be identified too.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# The desktop entry and the polkit action are written at install time with the installed paths:
# the prefix must be /usr then, with the packing folder as DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_LUMARIAN_STRIP ${CMAKE_STRIP})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://forum.quorvane.example/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Without pkexec the program runs without the driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS pkexec)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PrepareDebian.cmake)
set(CPACK_LUMARIAN_FILES ${CMAKE_CURRENT_LIST_DIR})
include(CPack)
