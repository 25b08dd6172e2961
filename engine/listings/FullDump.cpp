#include "engine/listings/FullDump.h"

#include <cstdio>

std::string FormatFullDump(std::span<const tCpuidStore> processors) {
  std::string text;
  std::size_t answers = 0;
  for (const tCpuidStore& store : processors)
    answers += store.Size();
  constexpr std::size_t kAnswerLength = 76;
  text.reserve(answers * kAnswerLength + processors.size() * 12);

  char line[96];
  for (std::size_t slot = 0; slot < processors.size(); ++slot) {
    const tCpuidStore& store = processors[slot];
    const long long number = store.OsCpu >= 0 ? store.OsCpu : static_cast<long long>(slot);
    text.append(line,
                static_cast<std::size_t>(std::snprintf(line, sizeof line, "CPU %lld:\n", number)));
    for (const tCpuidEntry& entry : store.Entries()) {
      const tCPUIDResult& r = entry.Result;
      const int length = std::snprintf(
          line, sizeof line, "   0x%08x 0x%02x: eax=0x%08x ebx=0x%08x ecx=0x%08x edx=0x%08x\n",
          entry.Leaf, entry.SubLeaf, r.EAX, r.EBX, r.ECX, r.EDX);
      text.append(line, static_cast<std::size_t>(length));
    }
  }
  return text;
}
