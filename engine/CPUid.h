// The identification engine: one object that knows the machine's processors. It captures
// the raw CPUID results of every processor slot, decodes and names them, and runs a thread
// that measures the clocks of every slot, all at once, every 2000 ms, and identifies the
// processors again when asked to.
//
// Threads. The per-slot records (tProcessorRecords, the engine's base) and Clocks are the
// engine's working set: capture, decoding, naming and measurement write them, always with the
// work lock held, so that a measurement never overlaps an identification. Readers on other
// threads never touch the working set: they take the records of the last identification
// whole from Records() and each slot's latest clocks from ClocksOf, both copies made under a
// lock that is only ever held for a copy.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "engine/ProcessorRecords.h"
#include "engine/clocks/EffectiveClock.h"
#include "engine/clocks/Sensors.h"
#include "engine/decode/Caches.h"
#include "engine/store/CommonTypes.h"
#include "platform/KernelClockFiles.h"
#include "platform/ProcessorServices.h"
#include "platform/StopSignal.h"
#include "smbios/get_cpu_dmi_info.h"
#include "smbios/get_dmi.h"

struct tVendorRow;

class cCPUid : public tProcessorRecords {
 public:
  // Identifies every processor that `services` offers, reads the processor entries of the
  // firmware's SMBIOS tables from `smbios` (none: no tables) unless SkipDMI, then starts the
  // measuring thread.
  cCPUid(std::unique_ptr<platform::IProcessorServices> services, bool SkipDMI,
         std::unique_ptr<ISMBIOSSource> smbios = nullptr);
  ~cCPUid();
  cCPUid(const cCPUid&) = delete;
  cCPUid& operator=(const cCPUid&) = delete;

  // Captures, decodes and names every processor again, then publishes the records. Waits
  // for a measuring pass under way: the two never run at the same time.
  void Identify();
  // Asks the engine's thread to identify the processors again and returns at once. The thread
  // does so after its measuring pass, or at once while it pauses, and then calls `identified`
  // on itself. A request that has not been taken up yet is replaced by the new one.
  void IdentifyInBackground(std::function<void()> identified);
  // Stops the thread (within one measuring window and without waiting out its pause), then
  // releases every array. Later calls do nothing.
  void Destroy();

  // Blocks until the thread has finished its first measuring pass.
  void WaitClocksReady();
  // The records of the last identification, whole; they never change. Empty once destroyed.
  std::shared_ptr<const tProcessorRecords> Records() const;
  // A consistent copy of the latest clock record of `slot` (zeros for a slot that does not
  // exist).
  tClocks ClocksOf(unsigned slot) const;
  // The same for the effective clock of `slot`.
  tEffectiveClock EffectiveClockOf(unsigned slot) const;
  // The processors' sensors as the last measuring pass read them.
  tSensors Sensors() const;
  // Makes the working set as it is now the records and clocks that readers get.
  void Publish();

  // The stages one at a time, for the tests and benchmarks that drive them so; Identify and
  // the measuring pass run them all.

  // Capture: every answer of slot i into CPUstore[i] (recorded processors: the recording as
  // it stands), and the 27 rows of CPUdata[i] from it.
  void CaptureSlot(unsigned i);

  // Decoding of vendor, signature, brand, features and power management.
  std::string VendorText(unsigned i) const;
  void DecodeVendor(unsigned i);
  bool DecodeIdentity(unsigned i);
  void DecodePowerMgmt(unsigned i);
  void DecodeFeatures(unsigned i);
  void DecodeFeatureBits(unsigned i);
  // Caches and TLBs of every slot.
  bool DecodeCaches();

  // Naming: the vendor's table, then the code-name table for the processors after its
  // generations.
  bool NameProcessor(unsigned i);
  void LookupRating(unsigned i);

  // Clocks. MeasureClocks measures the core clock of slot i on a thread pinned to it, reads
  // its multiplier and derives the bus clock and bus speed; nothing is measured where the
  // services have no clocks (replay), once a stop is requested, or where the thread cannot
  // be pinned to the processor (the slot keeps its record). Its callers hold the work lock:
  // the measuring pass, which measures every slot at once, and the naming of Identify.
  // Today's processors (multiplier methods from kFirstRatioMethod) take multiplier and bus
  // clock from their ratio registers, or, where those cannot be read, the bus clock the
  // processor reports in leaf 0x16 and no multiplier; where the processor has the APERF and
  // MPERF counters, their ratio over the same window gives the slot's effective clock; where
  // they cannot be read, the first of the other sources (tEffectiveSource) that gives one.
  void MeasureClocks(unsigned i);
  // The effective clock's sources over one measuring window of slot `Slot`.
  struct tEffectiveWindow {
    unsigned Slot = 0;
    bool Counted = false;  // APERF and MPERF were read at the start
    std::uint64_t AperfStart = 0, MperfStart = 0;
    std::optional<platform::tCppcCounters> CppcStart;
    tEffectiveReadings Readings;
    tEffectiveClock Result;
    // The package's energy counter where this slot reads it for its package.
    std::optional<std::uint32_t> EnergyRegister;
    std::uint64_t EnergyUnit = 0, EnergyStart = 0, EnergyEnd = 0;
    bool EnergyCounted = false;
    std::optional<double> PackageWatts;
  };
  // With `window`, the effective clock's sources are read at both ends of the window, the
  // chain is timed inside it where no other source will give the clock, and the clock chosen
  // is written to window->Result (none when no source gave one).
  void MeasureCoreClock(tClocks& clocks, tEffectiveWindow* window = nullptr);
  // The multiplier of methods 0 to 7 and the SMBIOS fallback.
  void GetMultiplier(float& multiplier, unsigned s);
  // Register `index` of the processor the thread runs on; false without a driver, when the
  // read fails, or for a register that is not on the program's list of the registers it
  // reads (protocol/MsrReads.h), which is then not asked for at all.
  bool ReadMsr(std::uint32_t index, std::uint64_t& value);
  // The register readers: true when the register was read and the multiplier stored.
  bool GetMultiplierK7(float& multiplier, unsigned s);
  bool GetMultiplierK8(float& multiplier, unsigned s);
  bool GetMultiplierP6(float& multiplier, unsigned s);
  bool GetMultiplierP6Model11(float& multiplier, unsigned s);
  bool GetMultiplierP4Early(float& multiplier, unsigned s);
  bool GetMultiplierP4(float& multiplier, unsigned s);
  bool GetMultiplierPM(float& multiplier, unsigned s);
  // The SMBIOS fallback: current speed over external clock of the slot's package entry.
  void GetMultiplierDMI(float& multiplier, unsigned s);

  // The clock records of the working set, SlotCount elements: measured every pass, clock
  // hints written by naming. Readers take them through ClocksOf.
  std::vector<tClocks> Clocks;

  // Processors found at construction.
  unsigned CPUCount = 0;
  // Set once the thread has finished its first measuring pass.
  std::atomic<std::uint8_t> ClocksReady{0};
  // SMBIOS was skipped or could not be read, or gave an external clock of 0.
  std::atomic<std::uint8_t> NoDMI{0};
  // What became of the firmware's tables when the engine was made; fixed from then on.
  enum class tSMBIOSRead : std::uint8_t {
    Read,
    Skipped,       // asked not to
    NoSource,      // recorded processors: no machine to read them from
    NoTables,      // the machine offers none
    NoPermission,  // refused for want of permission
    Unreadable,    // found, but their processor entries could not be read
  };
  tSMBIOSRead SMBIOSRead = tSMBIOSRead::Skipped;
  // The processor entries of the SMBIOS tables (zeros when they were not read).
  std::vector<tSMBIOSProcessor> SMBIOSProcessors;

 private:
  // The vendor table names each vendor's naming routine.
  friend std::span<const tVendorRow> Vendors();

  // CaptureSlot for every slot found at construction, each on its own processor.
  void CaptureAll();
  // Processors the system offers the program now.
  unsigned ProcessorCount();
  // The brand string of slot i, at most 48 characters.
  std::string BrandText(unsigned i) const;
  // Everything today's processors report beyond the 27 leaves, for the first `count` slots:
  // caches and TLBs (which also complete the level records where the cache decoder left a
  // field at 0), place and core type, feature registers, hypervisor, frequencies.
  void DecodeFullCapture(unsigned count);
  // The vendor's own table; a processor of a vendor string no vendor uses is not named.
  bool NameByVendorTable(unsigned i);
  // The vendor tables.
  void NameIntel(unsigned i);
  void NameAMD(unsigned i);
  void NameUMC(unsigned i);
  void NameCyrix(unsigned i);
  void NameNexGen(unsigned i);
  void NameRise(unsigned i);
  void NameSiS(unsigned i);
  void NameTransmeta(unsigned i);
  void NameNational(unsigned i);

  // The effective clocks of the working set, SlotCount elements, as Clocks; readers take them
  // through EffectiveClockOf.
  std::vector<tEffectiveClock> EffectiveClock;

  // The thread body: measures every slot, sets ClocksReady, pauses 2000 ms, identifying
  // again during the pause when asked to; until stopped.
  void Execute();
  // One measuring pass: every slot at once, each on a thread of its own.
  void MeasureAll();
  // Names every slot; each on a thread of its own where naming may measure clocks, so that
  // the measurements share one window.
  void NameAll();
  // Identifies again if that was asked for; true when it was.
  bool IdentifyIfRequested();
  // Publish without taking the work lock, which the caller holds.
  void PublishRecords();
  // The low 32 bits of register `index` (ReadMsr).
  bool ReadMsrLow(std::uint32_t index, std::uint32_t& low);
  // Multiplier and bus clock of slot i from its ratio registers.
  void ReadRatioRegisters(tClocks& clocks, tRatioRegisters registers, unsigned i);
  struct tPerformanceCounters {
    std::uint64_t Actual = 0;     // APERF
    std::uint64_t Reference = 0;  // MPERF
  };
  bool ReadPerformanceCounters(tPerformanceCounters& counters);
  // The effective clock's sources at the start of the window, the timed chain inside it
  // (the nanoseconds it took), and the sources at its end.
  void OpenEffectiveWindow(tEffectiveWindow& window);
  std::int64_t TimeChainIfNeeded(tEffectiveWindow& window, double lastTscMhz);
  void CloseEffectiveWindow(tEffectiveWindow& window);
  // The slots a pass visits: the processors offered now, never past the arrays.
  unsigned SlotsToVisit();
  void DecodeSizeLeaves(unsigned i);
  void DecodeDescriptors(unsigned i);

  std::unique_ptr<platform::IProcessorServices> services_;
  // The work lock: held by each identification and each measuring pass for their whole
  // length, so that they take turns; everything that writes the working set runs under it.
  std::mutex lock_;
  // The records lock: guards what readers get, published_, clocks_ and effective_, and is
  // held only for a copy or an exchange, never for any work.
  mutable std::mutex records_mutex_;
  std::shared_ptr<const tProcessorRecords> published_ = std::make_shared<tProcessorRecords>();
  std::vector<tClocks> clocks_;
  std::vector<tEffectiveClock> effective_;
  tSensors sensors_;
  // /proc/cpuinfo's "cpu MHz" by the system's processor number, read once at the start of
  // each measuring pass; the pass's measurements only read it.
  std::map<int, double> kernelMhz_;
  // Per slot, for the pass under way: whether the slot reads its package's energy (the first
  // slot of each package), and the package's power it measured.
  std::vector<std::uint8_t> energySlots_;
  std::vector<std::optional<double>> packageWatts_;
  // An identification asked for and not yet taken up, and what to call when it is done.
  std::mutex request_mutex_;
  bool identifyRequested_ = false;
  std::function<void()> identified_;
  std::mutex ready_mutex_;
  std::condition_variable ready_;
  platform::tStopSignal stop_;
  std::thread thread_;
};
