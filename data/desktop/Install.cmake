# Runs at install time, once the prefix is known (CMAKE_INSTALL_PREFIX then, without DESTDIR):
# writes the desktop entry and the polkit action with the paths of the installed program and
# driver. In: LUMARIAN_SOURCE (this folder), LUMARIAN_OUTPUT (where to write them),
# LUMARIAN_BINDIR (the programs' folder, relative to the prefix or absolute).
if(IS_ABSOLUTE "${LUMARIAN_BINDIR}")
  set(bin "${LUMARIAN_BINDIR}")
else()
  set(bin "${CMAKE_INSTALL_PREFIX}/${LUMARIAN_BINDIR}")
endif()

# The desktop entry's Exec: a path with characters its syntax reserves is quoted, with " ` $ \
# escaped inside the quotes; the entry's own string syntax then doubles every backslash, and a
# percent sign is written twice.
set(LUMARIAN_PROGRAM "${bin}/lumarian")
string(REPLACE "%" "%%" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
if(LUMARIAN_PROGRAM MATCHES "[^A-Za-z0-9/._+%-]")
  string(REPLACE "\\" "\\\\" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
  string(REPLACE "\"" "\\\"" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
  string(REPLACE "`" "\\`" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
  string(REPLACE "$" "\\$" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
  string(REPLACE "\\" "\\\\" LUMARIAN_PROGRAM "${LUMARIAN_PROGRAM}")
  set(LUMARIAN_PROGRAM "\"${LUMARIAN_PROGRAM}\"")
endif()

# The polkit action's path of the driver, as XML text.
set(LUMARIAN_DRIVER "${bin}/lumarian-driver")
string(REPLACE "&" "&amp;" LUMARIAN_DRIVER "${LUMARIAN_DRIVER}")
string(REPLACE "<" "&lt;" LUMARIAN_DRIVER "${LUMARIAN_DRIVER}")
string(REPLACE ">" "&gt;" LUMARIAN_DRIVER "${LUMARIAN_DRIVER}")

configure_file("${LUMARIAN_SOURCE}/lumarian.desktop.in" "${LUMARIAN_OUTPUT}/lumarian.desktop"
               @ONLY)
configure_file("${LUMARIAN_SOURCE}/org.quorvane.lumarian.policy.in"
               "${LUMARIAN_OUTPUT}/org.quorvane.lumarian.policy" @ONLY)
