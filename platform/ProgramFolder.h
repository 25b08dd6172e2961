// The folder the running program was started from, where its companions (the window program,
// the driver) sit beside it.
#pragma once

#include <string>

namespace platform {

// The folder of the running program, without a trailing '/'; empty when the system does not say
// (errno then tells why).
std::string ProgramFolder();

}  // namespace platform
