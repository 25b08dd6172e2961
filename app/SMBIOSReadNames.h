// How the reports name what became of the firmware's SMBIOS tables: a word for the JSON
// report and a sentence for the text report, one row per outcome.
#pragma once

#include <array>
#include <string_view>

#include "engine/CPUid.h"

struct tSMBIOSReadName {
  cCPUid::tSMBIOSRead Read;
  std::string_view Word;
  std::string_view Sentence;
};

inline constexpr std::array<tSMBIOSReadName, 6> kSMBIOSReadNames{{
    {cCPUid::tSMBIOSRead::Read, "read", "read"},
    {cCPUid::tSMBIOSRead::Skipped, "skipped", "skipped (-nodmi)"},
    {cCPUid::tSMBIOSRead::NoSource, "recorded", "not read: recorded processors carry none"},
    {cCPUid::tSMBIOSRead::NoTables, "no tables", "not available: this machine offers none"},
    {cCPUid::tSMBIOSRead::NoPermission, "no permission",
     "not available: no permission to read them (root may)"},
    {cCPUid::tSMBIOSRead::Unreadable, "unreadable",
     "not available: their processor entries could not be read"},
}};

inline const tSMBIOSReadName& SMBIOSReadName(cCPUid::tSMBIOSRead read) {
  for (const tSMBIOSReadName& row : kSMBIOSReadNames)
    if (row.Read == read) return row;
  return kSMBIOSReadNames.back();
}
