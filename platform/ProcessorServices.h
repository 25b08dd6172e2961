// The operating-system services the engine uses for processors and time. Every call the
// program makes to the system about processors, affinity, priority and clocks goes through
// an IProcessorServices: the live one runs on this machine, the replay one serves recorded
// CPUID results and touches nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SystemFiles.h"

namespace platform {

// The four registers one CPUID execution returns, in the order the instruction fills them.
struct tCPUIDResult {
  std::uint32_t EAX = 0;
  std::uint32_t EBX = 0;
  std::uint32_t ECX = 0;
  std::uint32_t EDX = 0;

  friend bool operator==(const tCPUIDResult&, const tCPUIDResult&) = default;
};

// One recorded answer: the registers CPUID returned for EAX = Leaf and ECX = SubLeaf.
struct tRecordedLeaf {
  std::uint32_t Leaf = 0;
  std::uint32_t SubLeaf = 0;
  tCPUIDResult Result;

  friend bool operator==(const tRecordedLeaf&, const tRecordedLeaf&) = default;
};
// The answers recorded of one processor.
using tCpuidRecording = std::vector<tRecordedLeaf>;

// Where a recorded processor comes from: the listing file as it was named, and the number of
// that listing among those loaded (from 0). Each listing is a machine of its own. A processor of
// this machine has no file ("") and is of listing 0.
struct tRecordingSource {
  std::string File;
  unsigned Listing = 0;
  // The operating system's number the listing gives the processor; -1 where it gives none.
  int OsCpu = -1;

  friend bool operator==(const tRecordingSource&, const tRecordingSource&) = default;
};

class IProcessorServices {
 public:
  virtual ~IProcessorServices() = default;

  // Number of processors the process may run on now. Slot i is the i-th of them, in the
  // order they had when the services were created.
  virtual unsigned ProcessorCount() = 0;

  // Keeps the calling thread on the processor of `slot`. The first pin after a restore keeps
  // the thread's previous affinity, which RestoreThread puts back. False when the thread
  // could not be moved; it then stays where it was.
  virtual bool PinThread(unsigned slot) = 0;
  virtual void RestoreThread() = 0;

  // Executes CPUID with EAX = leaf and ECX = subLeaf on the processor the thread runs on.
  // False when the processor gave no answer; `out` is then left as it was.
  virtual bool Cpuid(std::uint32_t leaf, std::uint32_t subLeaf, tCPUIDResult& out) = 0;

  // Services that replay recorded processors give the whole recording of `slot`: the
  // engine then takes every recorded answer as it stands instead of asking leaf by leaf.
  // Services that execute the instruction have none.
  virtual const tCpuidRecording* Recorded(unsigned /*slot*/) const { return nullptr; }
  // The operating system's number of the processor of `slot`; -1 where there is none (a
  // recorded processor whose listing gives none).
  virtual int OsCpuOf(unsigned /*slot*/) const { return -1; }
  // The listing the processor of `slot` was read from; no file for this machine's processors.
  virtual tRecordingSource SourceOf(unsigned /*slot*/) const { return {}; }

  // True when the time-stamp counter and the nanosecond counter below measure this machine.
  virtual bool HasClocks() const = 0;
  virtual std::uint64_t ReadTimeStampCounter() = 0;
  // A monotonic counter in nanoseconds that no clock adjustment moves.
  virtual std::int64_t CounterNanoseconds() = 0;

  // Raises the calling thread's scheduling priority where the system permits it, and puts it
  // back. Refusals are ignored.
  virtual void RaisePriority() = 0;
  virtual void RestorePriority() = 0;

  // Suspends the calling thread for `duration`.
  virtual void Sleep(std::chrono::milliseconds duration) = 0;

  // The physical package (socket) the processor of `slot` belongs to; -1 when unknown.
  virtual int PackageOf(unsigned slot) = 0;

  // The kernel's files about this machine's processors; none for recorded processors.
  virtual const tSystemFiles* Files() const { return nullptr; }
  // Runs `additions` dependent integer additions (ADD of two registers, each taking the one
  // before as input) on the processor the thread runs on. False where no chain runs here.
  virtual bool RunAdditionChain(std::uint64_t /*additions*/) { return false; }
};

// Services of processors that are recorded or scripted: no counter runs, raising the
// priority and sleeping do nothing, and no package is known.
class cClocklessProcessorServices : public IProcessorServices {
 public:
  bool HasClocks() const override { return false; }
  std::uint64_t ReadTimeStampCounter() override { return 0; }
  std::int64_t CounterNanoseconds() override { return 0; }
  void RaisePriority() override {}
  void RestorePriority() override {}
  void Sleep(std::chrono::milliseconds) override {}
  int PackageOf(unsigned) override { return -1; }
};

}  // namespace platform
