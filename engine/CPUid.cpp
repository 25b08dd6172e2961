// The engine cCPUid: its identification in turn (capture, decoding, naming), the measuring
// thread, and the records and clocks it publishes to readers.
#include "engine/CPUid.h"

#include "engine/capture/CpuidCapture.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "platform/ConcurrentJobs.h"

namespace {

// Every array has at least this many slots, whatever the processor count.
constexpr std::size_t kMinimumSlots = 8;
constexpr std::chrono::milliseconds kMeasuringPause{2000};

template <typename Record>
void Free(std::vector<Record>& records) {
  records.clear();
  records.shrink_to_fit();
}

}  // namespace

cCPUid::cCPUid(std::unique_ptr<platform::IProcessorServices> services, bool SkipDMI,
               std::unique_ptr<ISMBIOSSource> smbios)
    : services_(std::move(services)) {
  CPUCount = ProcessorCount();
  const std::size_t slots = std::max<std::size_t>(CPUCount, kMinimumSlots);
  Resize(slots);
  Clocks.assign(slots, {});
  clocks_ = Clocks;  // the naming of the first identification measures already
  EffectiveClock.assign(slots, {});
  effective_ = EffectiveClock;
  SMBIOSProcessors.assign(kMinimumSlots, {});

  Identify();

  // Without a source (recorded processors) there are no tables to fall back on.
  NoDMI = SkipDMI || !smbios ? 1 : 0;
  SMBIOSRead = SkipDMI ? tSMBIOSRead::Skipped : tSMBIOSRead::NoSource;
  if (NoDMI == 0) {
    try {
      const tSMBIOSTables tables = ReadSMBIOS(*smbios);
      SMBIOSRead = tables.SMBIOSAvailable       ? tSMBIOSRead::Read
                   : smbios->PermissionDenied() ? tSMBIOSRead::NoPermission
                                                : tSMBIOSRead::NoTables;
      SMBIOSProcessors = GetCpuDmiInfo(tables);
    } catch (...) {
      NoDMI = 1;
      SMBIOSRead = tSMBIOSRead::Unreadable;
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
  std::lock_guard<std::mutex> lock(lock_);
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
  DecodeFullCapture(count);
  NameAll();
  PublishRecords();
}

void cCPUid::NameAll() {
  const unsigned count = SlotsToVisit();
  if (!services_->HasClocks()) {
    for (unsigned i = 0; i < count; ++i)
      NameProcessor(i);
    return;
  }
  // Naming touches only its own slot's records, and the measurements it makes are pinned to
  // that slot's processor.
  platform::RunConcurrently(count, [this](unsigned i) { NameProcessor(i); });
}

void cCPUid::DecodeFullCapture(unsigned count) {
  count = static_cast<unsigned>(std::min<std::size_t>(count, SlotCount()));
  for (unsigned i = 0; i < count; ++i) {
    const tCpuidStore& store = CPUstore[i];
    CacheReports[i] = CachesOf(store);
    CompleteLevelRecords(CacheReports[i], level1[i], level2[i], level3[i]);
    Topologies[i] = TopologyOf(store);
    CoreTypes[i] = CoreTypeOf(store);
    FeatureWords[i] = FeatureWordsOf(store);
    Hypervisors[i] = HypervisorOf(store);
    Frequencies[i] = FrequenciesOf(store);
    FrequencyRanges[i] = FrequencyRangeOf(services_->Files(), store.OsCpu, store);
  }
}

void cCPUid::CaptureAll() {
  const unsigned count = static_cast<unsigned>(std::min<std::size_t>(CPUCount, SlotCount()));
  for (unsigned i = 0; i < count; ++i) {
    // A processor that cannot be reached now (gone offline, or taken out of the allowed set)
    // keeps the results of its last capture.
    if (services_->PinThread(i)) CaptureSlot(i);
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
  store.Source = services_->SourceOf(i);
  ApplyLegacyRows(store, CPUdata[i]);
  CPUstore[i] = std::move(store);
}

void cCPUid::Execute() {
  while (!stop_.Requested()) {
    MeasureAll();
    {
      std::lock_guard<std::mutex> lock(ready_mutex_);
      ClocksReady = 1;
    }
    ready_.notify_all();
    const auto next = std::chrono::steady_clock::now() + kMeasuringPause;
    while (!stop_.WaitUntil(next)) {
      if (!IdentifyIfRequested() && std::chrono::steady_clock::now() >= next) break;
    }
  }
}

void cCPUid::MeasureAll() {
  std::lock_guard<std::mutex> lock(lock_);
  if (!services_->HasClocks()) return;
  const platform::tSystemFiles* files = services_->Files();
  try {
    kernelMhz_ = files != nullptr ? platform::CpuinfoMhz(*files) : std::map<int, double>{};
  } catch (...) {
    kernelMhz_.clear();
  }
  const unsigned slots = SlotsToVisit();
  // The first slot of each package reads the package's energy; where packages are not known,
  // slot 0 alone.
  energySlots_.assign(SlotCount(), 0);
  packageWatts_.assign(SlotCount(), std::nullopt);
  std::vector<int> packages;
  for (unsigned i = 0; i < slots; ++i) {
    const int package = services_->PackageOf(i);
    if (package < 0 ? i == 0
                    : std::find(packages.begin(), packages.end(), package) == packages.end()) {
      energySlots_[i] = 1;
    }
    packages.push_back(package);
  }
  platform::RunConcurrently(slots, [this](unsigned i) {
    try {
      MeasureClocks(i);
    } catch (...) {
      // The slot keeps its last record; the next pass tries again.
    }
  });
  tSensors sensors;
  try {
    sensors.Temperatures = ProcessorTemperaturesOf(files);
  } catch (...) {
    // No sensors this pass.
  }
  for (const std::optional<double>& watts : packageWatts_) {
    if (watts) sensors.PackageWatts = sensors.PackageWatts.value_or(0) + *watts;
  }
  energySlots_.clear();
  std::lock_guard<std::mutex> records(records_mutex_);
  sensors_.Temperatures.swap(sensors.Temperatures);
  sensors_.PackageWatts = sensors.PackageWatts;
}

void cCPUid::IdentifyInBackground(std::function<void()> identified) {
  {
    std::lock_guard<std::mutex> lock(request_mutex_);
    identifyRequested_ = true;
    identified_ = std::move(identified);
  }
  stop_.Wake();
}

bool cCPUid::IdentifyIfRequested() {
  std::function<void()> identified;
  {
    std::lock_guard<std::mutex> lock(request_mutex_);
    if (!identifyRequested_) return false;
    identifyRequested_ = false;
    identified = std::move(identified_);
  }
  Identify();
  if (identified) identified();
  return true;
}

void cCPUid::WaitClocksReady() {
  std::unique_lock<std::mutex> lock(ready_mutex_);
  ready_.wait(lock, [this] { return ClocksReady != 0 || stop_.Requested(); });
}

std::shared_ptr<const tProcessorRecords> cCPUid::Records() const {
  std::lock_guard<std::mutex> lock(records_mutex_);
  return published_;
}

tClocks cCPUid::ClocksOf(unsigned slot) const {
  std::lock_guard<std::mutex> lock(records_mutex_);
  return slot < clocks_.size() ? clocks_[slot] : tClocks{};
}

tEffectiveClock cCPUid::EffectiveClockOf(unsigned slot) const {
  std::lock_guard<std::mutex> lock(records_mutex_);
  return slot < effective_.size() ? effective_[slot] : tEffectiveClock{};
}

tSensors cCPUid::Sensors() const {
  std::lock_guard<std::mutex> lock(records_mutex_);
  return sensors_;
}

void cCPUid::Publish() {
  std::lock_guard<std::mutex> lock(lock_);
  PublishRecords();
}

void cCPUid::PublishRecords() {
  // The copies are made before the records lock is taken, and the sets they replace are
  // freed after it is let go (unless a reader still holds one).
  std::shared_ptr<const tProcessorRecords> records =
      std::make_shared<tProcessorRecords>(static_cast<const tProcessorRecords&>(*this));
  std::vector<tClocks> clocks = Clocks;
  std::vector<tEffectiveClock> effective = EffectiveClock;
  std::lock_guard<std::mutex> lock(records_mutex_);
  published_.swap(records);
  clocks_.swap(clocks);
  effective_.swap(effective);
}

void cCPUid::Destroy() {
  stop_.Request();
  {
    // A waiter for the first pass that has checked the flags but not yet slept is woken too.
    std::lock_guard<std::mutex> lock(ready_mutex_);
  }
  ready_.notify_all();
  if (thread_.joinable()) thread_.join();

  std::lock_guard<std::mutex> lock(lock_);
  Release();
  Free(Clocks);
  Free(EffectiveClock);
  Free(SMBIOSProcessors);
  PublishRecords();  // readers are left with no slot
}
