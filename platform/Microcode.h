// The microcode revision the operating system reports of a processor.
#pragma once

#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kSystemCpuFolder = "/sys/devices/system/cpu";

// The revision of the processor `osCpu` as the kernel gives it in
// cpuN/microcode/version under `cpuFolder` ("0xa201016"); "" where it gives none or the
// text is not a hexadecimal number.
std::string MicrocodeRevision(int osCpu, std::string_view cpuFolder = kSystemCpuFolder);

}  // namespace platform
