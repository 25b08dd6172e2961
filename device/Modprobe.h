// Loading a kernel module with the system's modprobe, which runs as root: it is found only in
// the system's own folders and gets none of the caller's environment.
#pragma once

#include <initializer_list>
#include <string>

// Where the system keeps modprobe.
inline constexpr std::initializer_list<const char*> kModprobePaths = {"/sbin/modprobe",
                                                                      "/usr/sbin/modprobe"};

// The first of `candidates` (absolute paths of a system program) that is an executable file;
// empty when none is.
std::string SystemProgram(std::initializer_list<const char*> candidates);

// Runs `program module` (program an absolute path) with an environment of only a PATH of the
// system's folders, standard input, output and error on /dev/null, and waits for it. True when
// it ran and exited with status 0.
bool RunModprobe(const std::string& program, const std::string& module);

// Loads the register-device module with the system's modprobe, once per process, when the
// process runs as root and the register device under `deviceRoot` is missing. Its outcome is
// not checked; opening the device tells.
void LoadMsrModule(const std::string& deviceRoot);
