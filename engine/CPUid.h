// The identification engine: one object that knows the machine's processors. It captures
// the raw CPUID results of every processor slot, decodes and names them, and runs a thread
// that measures the clocks of every slot every 2000 ms.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "engine/CommonTypes.h"
#include "engine/CpuidStore.h"
#include "engine/ModernNaming.h"
#include "hw/get_cpu_dmi_info.h"
#include "hw/get_dmi.h"
#include "platform/ProcessorServices.h"
#include "platform/StopSignal.h"

// The vendor of a 12-character vendor string; nothing for a string no vendor uses.
std::optional<tVendor> KnownVendor(std::string_view text);

class cCPUid {
 public:
  // Identifies every processor that `services` offers, reads the processor entries of the
  // firmware's SMBIOS tables from `smbios` (none: no tables) unless SkipDMI, then starts the
  // measuring thread.
  cCPUid(std::unique_ptr<platform::IProcessorServices> services, bool SkipDMI,
         std::unique_ptr<ISMBIOSSource> smbios = nullptr);
  ~cCPUid();
  cCPUid(const cCPUid&) = delete;
  cCPUid& operator=(const cCPUid&) = delete;

  // Captures, decodes and names every processor again. Serialised with the measuring
  // thread: the two never run at the same time.
  void Identify();
  // Stops the thread (within one measurement and without waiting out its pause), then
  // releases every array. Later calls do nothing.
  void Destroy();

  // Blocks until the thread has finished its first measuring pass.
  void WaitClocksReady();
  // A consistent copy of the clock record of `slot` (zeros for a slot that does not exist).
  tClocks ClocksOf(unsigned slot) const;

  // Capture: every answer of slot i into CPUstore[i] (recorded processors: the recording as
  // it stands), and the 27 rows of CPUdata[i] from it.
  void CaptureAll();
  void CaptureSlot(unsigned i);
  // Processors the system offers the program now.
  unsigned ProcessorCount();
  // Length of every per-slot array: CPUCount, at least 8; 0 once destroyed.
  std::size_t SlotCount() const { return CPUdata.size(); }

  // Decoding of vendor, signature, brand, features and power management.
  std::string VendorText(unsigned i) const;
  std::string BrandText(unsigned i) const;
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
  bool NameByVendorTable(unsigned i);
  void NameIntel(unsigned i);
  void NameAMD(unsigned i);
  void NameUMC(unsigned i);
  void NameCyrix(unsigned i);
  void NameNexGen(unsigned i);
  void NameRise(unsigned i);
  void NameSiS(unsigned i);
  void NameTransmeta(unsigned i);
  void NameNational(unsigned i);
  void LookupRating(unsigned i);

  // Clocks. MeasureClocks measures the core clock of slot i, reads its multiplier and derives
  // the bus clock and bus speed; nothing is measured where the services have no clocks
  // (replay). Two measurements, and a measurement and an identification, never overlap.
  void MeasureClocks(unsigned i);
  void MeasureCoreClock(tClocks& clocks);
  void GetMultiplier(float& multiplier, unsigned s);
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

  // Per-slot records, SlotCount elements each.
  std::vector<tVendor> FlagBrand;
  std::vector<tCpuidStore> CPUstore;  // every captured (leaf, sub-leaf)
  std::vector<tCPUdata> CPUdata;      // the 27 rows of the store that every processor gets
  std::vector<tCPUid_m> CPUid_m;
  std::vector<tCPUfeatures> CPUfeatures;
  std::vector<tClocks> Clocks;  // written by the thread; read it through ClocksOf
  std::vector<tFeaturesFlags> FeaturesFlags;
  std::vector<tEPM> EPM;
  std::vector<tlevel1> level1;
  std::vector<tlevel2> level2;
  std::vector<tlevel3> level3;
  std::vector<tnameinfo> nameinfo;
  std::vector<tModernName> ModernNames;  // what the code-name table says of each processor

  // Processors found at construction.
  unsigned CPUCount = 0;
  // Set once the thread has finished its first measuring pass.
  std::atomic<std::uint8_t> ClocksReady{0};
  // SMBIOS was skipped or could not be read, or gave an external clock of 0.
  std::atomic<std::uint8_t> NoDMI{0};
  // The processor entries of the SMBIOS tables (zeros when they were not read).
  std::vector<tSMBIOSProcessor> SMBIOSProcessors;
  // Per slot: how the clock measurement reads the multiplier (0: no register, SMBIOS only).
  std::vector<std::uint8_t> MultiplierMethod;
  // Per slot: the fifteen descriptor bytes of leaf 2 (words 0 to 14).
  std::vector<std::array<std::uint16_t, 16>> CacheDescriptors;

 private:
  // The thread body: measures every slot, sets ClocksReady, pauses 2000 ms; until stopped.
  void Execute();
  // The low 32 bits of register `index`; false without a driver or when the read fails.
  bool ReadMsrLow(std::uint32_t index, std::uint32_t& low);
  // The slots a pass visits: the processors offered now, never past the arrays.
  unsigned SlotsToVisit();
  void DecodeSizeLeaves(unsigned i);
  void DecodeDescriptors(unsigned i);

  std::unique_ptr<platform::IProcessorServices> services_;
  // Serialises capture, identification and every clock measurement. Recursive: the naming
  // of an identification measures clocks.
  std::recursive_mutex lock_;
  // Guards the clock records. Readers never wait out the measuring thread's window, only an
  // identification, whose naming writes the records (and may measure).
  mutable std::recursive_mutex clocks_mutex_;
  std::mutex ready_mutex_;
  std::condition_variable ready_;
  platform::tStopSignal stop_;
  std::thread thread_;
};
