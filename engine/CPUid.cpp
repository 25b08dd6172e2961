#include "engine/CPUid.h"

#include "engine/CpuidCapture.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// Every array has at least this many slots, whatever the processor count.
constexpr std::size_t kMinimumSlots = 8;
constexpr std::chrono::milliseconds kMeasuringPause{2000};

template <typename Record>
void Release(std::vector<Record>& records) {
  records.clear();
  records.shrink_to_fit();
}

}  // namespace

cCPUid::cCPUid(std::unique_ptr<platform::IProcessorServices> services, bool SkipDMI,
               std::unique_ptr<ISMBIOSSource> smbios)
    : services_(std::move(services)) {
  CPUCount = ProcessorCount();
  const std::size_t slots = std::max<std::size_t>(CPUCount, kMinimumSlots);
  FlagBrand.assign(slots, tVendor::intel);
  CPUstore.assign(slots, {});
  CPUdata.assign(slots, {});
  CPUid_m.assign(slots, {});
  CPUfeatures.assign(slots, {});
  Clocks.assign(slots, {});
  FeaturesFlags.assign(slots, {});
  EPM.assign(slots, {});
  level1.assign(slots, {});
  level2.assign(slots, {});
  level3.assign(slots, {});
  nameinfo.assign(slots, {});
  ModernNames.assign(slots, {});
  MultiplierMethod.assign(slots, 0);
  CacheDescriptors.assign(slots, {});

  SMBIOSProcessors.assign(kMinimumSlots, {});

  Identify();

  // Without a source (recorded processors) there are no tables to fall back on.
  NoDMI = SkipDMI || !smbios ? 1 : 0;
  if (NoDMI == 0) {
    try {
      SMBIOSProcessors = GetCpuDmiInfo(ReadSMBIOS(*smbios));
    } catch (...) {
      NoDMI = 1;
    }
  }

  thread_ = std::thread(&cCPUid::Execute, this);
}

cCPUid::~cCPUid() {
  Destroy();
}

unsigned cCPUid::ProcessorCount() {
  return services_->ProcessorCount();
}

unsigned cCPUid::SlotsToVisit() {
  const std::size_t offered = std::min<std::size_t>(ProcessorCount(), CPUCount);
  return static_cast<unsigned>(std::min(offered, SlotCount()));
}

void cCPUid::Identify() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  // Naming writes clock hints into the clock records.
  std::lock_guard<std::recursive_mutex> records(clocks_mutex_);
  CaptureAll();
  const unsigned count = SlotsToVisit();
  for (unsigned i = 0; i < count; ++i) {
    DecodeVendor(i);
    DecodeIdentity(i);
    DecodePowerMgmt(i);
    DecodeFeatures(i);
    DecodeFeatureBits(i);
  }
  DecodeCaches();
  for (unsigned i = 0; i < count; ++i)
    NameProcessor(i);
}

void cCPUid::CaptureAll() {
  const unsigned count = static_cast<unsigned>(std::min<std::size_t>(CPUCount, SlotCount()));
  for (unsigned i = 0; i < count; ++i) {
    services_->PinThread(i);
    CaptureSlot(i);
  }
  services_->RestoreThread();
}

void cCPUid::CaptureSlot(unsigned i) {
  if (i >= SlotCount()) return;
  tCpuidStore store;
  if (const platform::tCpuidRecording* recorded = services_->Recorded(i)) {
    store = StoreOf(*recorded);
  } else {
    // An execution without an answer ends this processor's capture; the rows of CPUdata
    // that it did not reach keep their values.
    CaptureCpuid(*services_, store);
  }
  store.OsCpu = services_->OsCpuOf(i);
  ApplyLegacyRows(store, CPUdata[i]);
  CPUstore[i] = std::move(store);
}

void cCPUid::Execute() {
  while (!stop_.Requested()) {
    const unsigned count = SlotsToVisit();
    for (unsigned i = 0; i < count && !stop_.Requested(); ++i)
      MeasureClocks(i);
    {
      std::lock_guard<std::mutex> lock(ready_mutex_);
      ClocksReady = 1;
    }
    ready_.notify_all();
    if (stop_.WaitFor(kMeasuringPause)) break;
  }
}

void cCPUid::WaitClocksReady() {
  std::unique_lock<std::mutex> lock(ready_mutex_);
  ready_.wait(lock, [this] { return ClocksReady != 0 || stop_.Requested(); });
}

tClocks cCPUid::ClocksOf(unsigned slot) const {
  std::lock_guard<std::recursive_mutex> lock(clocks_mutex_);
  return slot < Clocks.size() ? Clocks[slot] : tClocks{};
}

void cCPUid::Destroy() {
  stop_.Request();
  {
    // A waiter for the first pass that has checked the flags but not yet slept is woken too.
    std::lock_guard<std::mutex> lock(ready_mutex_);
  }
  ready_.notify_all();
  if (thread_.joinable()) thread_.join();

  std::lock_guard<std::recursive_mutex> lock(lock_);
  std::lock_guard<std::recursive_mutex> records(clocks_mutex_);
  Release(FlagBrand);
  Release(CPUstore);
  Release(CPUdata);
  Release(CPUid_m);
  Release(CPUfeatures);
  Release(Clocks);
  Release(FeaturesFlags);
  Release(EPM);
  Release(level1);
  Release(level2);
  Release(level3);
  Release(nameinfo);
  Release(ModernNames);
  Release(MultiplierMethod);
  Release(CacheDescriptors);
  Release(SMBIOSProcessors);
}
