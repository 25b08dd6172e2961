#include "app/JsonReport.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/JsonFields.h"
#include "app/JsonWriter.h"
#include "app/SMBIOSReadNames.h"
#include "engine/CPUid.h"
#include "engine/Vendors.h"
#include "engine/Version.h"
#include "engine/decode/CoreType.h"
#include "engine/decode/DisplaySignature.h"
#include "engine/decode/X86Level.h"
#include "engine/listings/CpuidDump.h"
#include "view/RunningClockText.h"

namespace {

constexpr auto kInline = tJsonWriter::tLayout::Inline;

// The version of the document's layout that docs/report.schema.json describes; raised when a
// key changes its meaning or goes away, not when one is added.
constexpr unsigned kReportSchemaVersion = 1;

std::string_view VendorName(tVendor vendor) {
  const tVendorRow* row = VendorRowOf(vendor);
  return row != nullptr ? row->JsonName : std::string_view();
}

template <std::size_t N>
void Text(tJsonWriter& w, const char* key, const tShortString<N>& text) {
  w.Key(key).Text1252(text.View());
}

void Identity(tJsonWriter& w, const tCPUid_m& id) {
  w.Key("tCPUid_m").BeginObject(kInline);
  Text(w, "Vendor", id.Vendor);
  w.Key("Family").Unsigned(id.Family).Key("Model").Unsigned(id.Model);
  w.Key("Stepping").Unsigned(id.Stepping).Key("CPUType").Unsigned(id.CPUType);
  w.Key("ExtFamily").Unsigned(id.ExtFamily).Key("ExtModel").Unsigned(id.ExtModel);
  w.Key("BrandID").Unsigned(id.BrandID).Key("LogicalCPUs").Unsigned(id.LogicalCPUs);
  w.Key("APICID").Unsigned(id.APICID).Key("XExtFamily").Unsigned(id.XExtFamily);
  w.Key("XExtModel").Unsigned(id.XExtModel).Key("XFamily").Unsigned(id.XFamily);
  w.Key("XModel").Unsigned(id.XModel).Key("XStepping").Unsigned(id.XStepping);
  w.Key("XBrandID").Unsigned(id.XBrandID);
  Text(w, "BrandString", id.BrandString);
  w.Key("AA64").Unsigned(id.AA64).Key("XBrandHigh").Unsigned(id.XBrandHigh);
  w.Key("XBrandLow").Unsigned(id.XBrandLow);
  w.EndObject();
}

void Features(tJsonWriter& w, const tCPUfeatures& f) {
  w.Key("tCPUfeatures").BeginObject(kInline);
  w.Key("MMX").Unsigned(f.MMX).Key("ExtMMX").Unsigned(f.ExtMMX).Key("SSE").Unsigned(f.SSE);
  w.Key("SSE2").Unsigned(f.SSE2).Key("SSE3").Unsigned(f.SSE3).Key("TDNow").Unsigned(f.TDNow);
  w.Key("TDNowPlus").Unsigned(f.TDNowPlus).Key("SpeedStep").Unsigned(f.SpeedStep);
  w.Key("IA64").Unsigned(f.IA64).Key("HTT").Unsigned(f.HTT).Key("AA64").Unsigned(f.AA64);
  w.Key("NX").Unsigned(f.NX).Key("MP").Unsigned(f.MP).Key("PowerNow").Unsigned(f.PowerNow);
  w.Key("CoolnQuiet").Unsigned(f.CoolnQuiet).Key("APIC").Unsigned(f.APIC);
  w.Key("Cores").Unsigned(f.Cores);
  w.EndObject();
}

void FeatureGroup(tJsonWriter& w, const char* key, const tFeatureBits& group) {
  w.Key(key).BeginObject().Key("Valid").Unsigned(group.Valid).Key("Bits").BeginArray();
  for (const std::uint8_t bit : group.Bits)
    w.Unsigned(bit);
  w.EndArray().EndObject();
}

void FeatureFlags(tJsonWriter& w, const tFeaturesFlags& flags) {
  w.Key("tFeaturesFlags").BeginObject(kInline);
  FeatureGroup(w, "StdEDX", flags.StdEDX);
  FeatureGroup(w, "StdECX", flags.StdECX);
  FeatureGroup(w, "ExtEDX", flags.ExtEDX);
  FeatureGroup(w, "ExtECX", flags.ExtECX);
  w.EndObject();
}

void PowerManagement(tJsonWriter& w, const tEPM& epm) {
  w.Key("tEPM").BeginObject(kInline);
  w.Key("STC").Unsigned(epm.STC).Key("TM").Unsigned(epm.TM).Key("TTP").Unsigned(epm.TTP);
  w.Key("VID").Unsigned(epm.VID).Key("FID").Unsigned(epm.FID).Key("TS").Unsigned(epm.TS);
  w.EndObject();
}

void ClockRecord(tJsonWriter& w, const tClocks& c) {
  w.Key("tClocks").BeginObject(kInline);
  w.Key("CoreClock").Double(c.CoreClock).Key("BusClock").Double(c.BusClock);
  w.Key("BusFactor").Unsigned(c.BusFactor).Key("Multiplier").Single(c.Multiplier);
  w.Key("BusSpeed").Double(c.BusSpeed);
  w.EndObject();
}

void Tlbs(tJsonWriter& w, const auto& r) {
  w.Key("ITLB4KAssoc").Unsigned(r.ITLB4KAssoc).Key("ITLB2MAssoc").Unsigned(r.ITLB2MAssoc);
  w.Key("ITLB4KEntries").Unsigned(r.ITLB4KEntries).Key("ITLB2MEntries").Unsigned(r.ITLB2MEntries);
  w.Key("DTLB4KAssoc").Unsigned(r.DTLB4KAssoc).Key("DTLB2MAssoc").Unsigned(r.DTLB2MAssoc);
  w.Key("DTLB4KEntries").Unsigned(r.DTLB4KEntries).Key("DTLB2MEntries").Unsigned(r.DTLB2MEntries);
}

void Level1(tJsonWriter& w, const tlevel1& l1) {
  w.Key("tlevel1").BeginObject(kInline);
  Tlbs(w, l1);
  w.Key("ICacheSize").Unsigned(l1.ICacheSize).Key("ICacheAssoc").Unsigned(l1.ICacheAssoc);
  w.Key("ICacheLine").Unsigned(l1.ICacheLine);
  w.Key("ICacheLinesPerTag").Unsigned(l1.ICacheLinesPerTag);
  w.Key("TraceCache").Unsigned(l1.TraceCache);
  w.Key("DCacheSize").Unsigned(l1.DCacheSize).Key("DCacheAssoc").Unsigned(l1.DCacheAssoc);
  w.Key("DCacheLine").Unsigned(l1.DCacheLine);
  w.Key("DCacheLinesPerTag").Unsigned(l1.DCacheLinesPerTag);
  w.EndObject();
}

void Level2(tJsonWriter& w, const tlevel2& l2) {
  w.Key("tlevel2").BeginObject(kInline);
  w.Key("Present").Unsigned(l2.Present).Key("UnitCount").Unsigned(l2.UnitCount);
  Tlbs(w, l2);
  w.Key("Size").Unsigned(l2.Size).Key("Assoc").Unsigned(l2.Assoc);
  w.Key("LineSize").Unsigned(l2.LineSize).Key("LinesPerTag").Unsigned(l2.LinesPerTag);
  w.EndObject();
}

void Level3(tJsonWriter& w, const tlevel3& l3) {
  w.Key("tlevel3").BeginObject(kInline);
  w.Key("Size").Unsigned(l3.Size).Key("Assoc").Unsigned(l3.Assoc);
  w.Key("LineSize").Unsigned(l3.LineSize).Key("LinesPerSector").Unsigned(l3.LinesPerSector);
  w.Key("Present").Unsigned(l3.Present);
  w.EndObject();
}

void NameRecord(tJsonWriter& w, const tnameinfo& n) {
  w.Key("tnameinfo").BeginObject(kInline);
  Text(w, "CodeName", n.CodeName);
  Text(w, "CpuName", n.CpuName);
  Text(w, "Rating", n.Rating);
  w.Key("LogoKey").Unsigned(n.LogoKey);
  Text(w, "Platform", n.Platform);
  Text(w, "TechProcess", n.TechProcess);
  Text(w, "TranQuantity", n.TranQuantity);
  Text(w, "DieSize", n.DieSize);
  w.EndObject();
}

void RawLeaves(tJsonWriter& w, const tCPUdata& data) {
  w.Key("tCPUdata").BeginArray();
  for (std::size_t k = 0; k < kCapturedLeaves; ++k) {
    const tCPUIDResult& r = data.Row(k);
    w.BeginObject(kInline).Key("leaf").Utf8Text(Hex8(CaptureLeaf(k)));
    w.Key("eax").Utf8Text(Hex8(r.EAX)).Key("ebx").Utf8Text(Hex8(r.EBX));
    w.Key("ecx").Utf8Text(Hex8(r.ECX)).Key("edx").Utf8Text(Hex8(r.EDX));
    w.EndObject();
  }
  w.EndArray();
}

// The signature as the makers number it, what the code-name table says of the processor,
// and the kind of core.
void DisplayIdentity(tJsonWriter& w, const tCpuidStore& store, const tModernName& modern) {
  const tDisplaySignature signature = DisplaySignatureOf(store);
  w.Key("identity").BeginObject(kInline);
  w.Key("family").Unsigned(signature.Family).Key("model").Unsigned(signature.Model);
  w.Key("stepping").Unsigned(signature.Stepping);
  w.Key("microarchitecture").Utf8Text(modern.Microarchitecture());
  w.Key("code_name").Utf8Text(modern.CodeName());
  w.Key("process").Utf8Text(modern.Process()).Key("segment").Utf8Text(modern.Segment());
  w.Key("core_type").Utf8Text(CoreTypeName(CoreTypeOf(store)));
  w.Key("x86_64_level").Utf8Text(X86LevelName(X86LevelOf(store)));
  w.EndObject();
}

// Every captured (leaf, sub-leaf), by leaf then sub-leaf.
void CapturedLeaves(tJsonWriter& w, const tCpuidStore& store) {
  w.Key("leaves").BeginArray();
  for (const tCpuidEntry& entry : store.Entries()) {
    const tCPUIDResult& r = entry.Result;
    w.BeginObject(kInline).Key("leaf").Utf8Text(Hex8(entry.Leaf));
    w.Key("subleaf").Unsigned(entry.SubLeaf);
    w.Key("eax").Utf8Text(Hex8(r.EAX)).Key("ebx").Utf8Text(Hex8(r.EBX));
    w.Key("ecx").Utf8Text(Hex8(r.ECX)).Key("edx").Utf8Text(Hex8(r.EDX));
    w.EndObject();
  }
  w.EndArray();
}

void CacheList(tJsonWriter& w, const tCacheReport& report) {
  w.Key("caches").BeginArray();
  for (const tCacheInfo& c : report.Caches) {
    w.BeginObject(kInline).Key("level").Unsigned(c.Level);
    w.Key("type").Utf8Text(CacheTypeName(c.Type)).Key("size_kb").Unsigned(c.SizeKB);
    w.Key("ways").Unsigned(c.Ways).Key("line_bytes").Unsigned(c.LineBytes);
    w.Key("sets").Unsigned(c.Sets).Key("shared_by").Unsigned(c.SharedBy);
    w.EndObject();
  }
  w.EndArray();
}

void TlbList(tJsonWriter& w, const tCacheReport& report) {
  struct tPageName {
    std::uint8_t Bit;
    const char* Name;
  };
  static constexpr tPageName kPages[] = {
      {kPage4K, "4K"}, {kPage2M, "2M"}, {kPage4M, "4M"}, {kPage1G, "1G"}};
  w.Key("tlbs").BeginArray();
  for (const tTlbInfo& t : report.Tlbs) {
    w.BeginObject(kInline).Key("level").Unsigned(t.Level);
    w.Key("type").Utf8Text(TlbTypeName(t.Type)).Key("pages").BeginArray();
    for (const tPageName& page : kPages) {
      if ((t.Pages & page.Bit) != 0) w.Utf8Text(page.Name);
    }
    w.EndArray().Key("entries").Unsigned(t.Entries).Key("ways").Unsigned(t.Ways);
    w.EndObject();
  }
  w.EndArray();
}

void TopologyRecord(tJsonWriter& w, const tTopology& t, const tPlace& place) {
  w.Key("topology").BeginObject(kInline);
  w.Key("x2apic_id").Unsigned(t.X2ApicId).Key("package").Unsigned(place.Package);
  w.Key("die").Unsigned(place.Die).Key("module").Unsigned(place.Module);
  w.Key("core").Unsigned(place.Core).Key("thread").Unsigned(place.Thread);
  w.Key("package_threads").Unsigned(t.PackageThreads);
  w.Key("package_cores").Unsigned(t.PackageCores);
  w.EndObject();
}

void FeatureList(tJsonWriter& w, const tFeatureWords& words,
                 const std::vector<tFieldValue>& fields) {
  w.Key("features").BeginArray(kInline);
  for (const std::string_view name : FeatureNamesWithFields(words, fields))
    w.Utf8Text(name);
  w.EndArray();
}

unsigned WholeMhz(double mhz) {
  return mhz > 0 ? static_cast<unsigned>(std::lround(mhz)) : 0;
}

// The measured counter rate is the clock record's core clock; the effective clock comes from
// the first of its sources that gave one, and the range from the first of its.
void FrequencyRecord(tJsonWriter& w, const tFrequencies& f, const tFrequencyRange& range,
                     const tClocks& clocks, const tEffectiveClock& effective) {
  w.Key("frequency").BeginObject(kInline);
  // The range's figures are whole MHz in every source but CPPC's highest level; written as
  // whole numbers, as leaf 0x16 gives them.
  w.Key("base_mhz")
      .Unsigned(WholeMhz(range.BaseMHz))
      .Key("max_mhz")
      .Unsigned(WholeMhz(range.MaxMHz));
  w.Key("bus_mhz").Unsigned(f.BusMHz).Key("tsc_mhz").Double(clocks.CoreClock);
  w.Key("effective_mhz").Double(effective.CoreClock);
  w.Key("reported_tsc_mhz").Double(f.TscMHz);
  w.Key("effective_source").Utf8Text(EffectiveSourceName(effective.Source));
  w.Key("min_mhz").Unsigned(WholeMhz(range.MinMHz));
  w.Key("range_source").Utf8Text(RangeSourcesText(range));
  w.Key("derived_multiplier").Double(DerivedMultiplier(effective, f.BusMHz));
  w.EndObject();
}

// The processors' sensors, for the whole machine; the package power is null where it is not
// known, never 0.
void SensorRecord(tJsonWriter& w, const tSensors& sensors) {
  w.Key("sensors").BeginObject();
  w.Key("temperatures").BeginArray();
  for (const tTemperature& t : sensors.Temperatures) {
    w.BeginObject(kInline);
    w.Key("label").Utf8Text(t.Label).Key("celsius").Double(t.Celsius);
    w.Key("source").Utf8Text(t.Source);
    w.EndObject();
  }
  w.EndArray();
  w.Key("package_watts");
  if (sensors.PackageWatts) {
    w.Double(*sensors.PackageWatts);
  } else {
    w.Null();
  }
  w.EndObject();
}

void Processor(tJsonWriter& w, const tProcessorRecords& e, const tClocks& clocks,
               const tEffectiveClock& effective, const tPlace& place, unsigned i) {
  w.BeginObject();
  w.Key("slot").Unsigned(i);
  w.Key("os_cpu").Signed(e.CPUstore[i].OsCpu);
  w.Key("source").Utf8Text(e.CPUstore[i].Source.File);
  w.Key("tFlagBrand").Utf8Text(VendorName(e.FlagBrand[i]));
  Identity(w, e.CPUid_m[i]);
  Features(w, e.CPUfeatures[i]);
  FeatureFlags(w, e.FeaturesFlags[i]);
  PowerManagement(w, e.EPM[i]);
  ClockRecord(w, clocks);
  w.Key("MultiplierMethod").Unsigned(e.MultiplierMethod[i]);
  Level1(w, e.level1[i]);
  Level2(w, e.level2[i]);
  Level3(w, e.level3[i]);
  NameRecord(w, e.nameinfo[i]);
  RawLeaves(w, e.CPUdata[i]);
  CapturedLeaves(w, e.CPUstore[i]);
  DisplayIdentity(w, e.CPUstore[i], e.ModernNames[i]);
  CacheList(w, e.CacheReports[i]);
  TlbList(w, e.CacheReports[i]);
  TopologyRecord(w, e.Topologies[i], place);
  const std::vector<tFieldValue> fields = DecodeFields(e.CPUstore[i]);
  FeatureList(w, e.FeatureWords[i], fields);
  FieldList(w, fields);
  w.Key("hypervisor").Utf8Text(e.Hypervisors[i].Signature);
  FrequencyRecord(w, e.Frequencies[i], e.FrequencyRanges[i], clocks, effective);
  w.EndObject();
}

void MachineCounts(tJsonWriter& w, const tMachineTopology& m) {
  w.Key("packages").Unsigned(m.Packages).Key("dies").Unsigned(m.Dies);
  w.Key("cores").Unsigned(m.Cores).Key("threads").Unsigned(m.Threads);
  w.Key("core_types").BeginObject();
  w.Key("performance").Unsigned(m.PerformanceCores);
  w.Key("efficiency").Unsigned(m.EfficiencyCores);
  w.EndObject();
}

// The machines of all listings together.
void MachineRecord(tJsonWriter& w, const tMachineTopology& m) {
  w.Key("machine").BeginObject(kInline);
  MachineCounts(w, m);
  w.EndObject();
}

// Each machine on its own: one per listing, or this machine.
void MachineList(tJsonWriter& w, const std::vector<tIdentifiedMachine>& machines) {
  w.Key("machines").BeginArray();
  for (const tIdentifiedMachine& machine : machines) {
    w.BeginObject(kInline).Key("source").Utf8Text(machine.Source.File);
    w.Key("first_slot").Unsigned(machine.FirstSlot).Key("cpu_count").Unsigned(machine.Slots);
    MachineCounts(w, machine.Topology);
    w.EndObject();
  }
  w.EndArray();
}

}  // namespace

std::string JsonReport(const cCPUid& engine, bool driverLoaded,
                       std::optional<std::chrono::milliseconds> driverLostAfter,
                       std::string_view driverRefusal) {
  // Members of the document and of each processor get lines of their own; each record
  // stays on one line, and so does each raw leaf.
  tJsonWriter w;
  const std::shared_ptr<const tProcessorRecords> records = engine.Records();
  const unsigned count =
      static_cast<unsigned>(std::min<std::size_t>(engine.CPUCount, records->SlotCount()));
  w.BeginObject();
  w.Key("schema_version").Unsigned(kReportSchemaVersion);
  w.Key("program").Utf8Text(kProgramVersion);
  w.Key("driver_loaded").Boolean(driverLoaded);
  w.Key("driver_lost_after_s");
  if (driverLostAfter) {
    w.Double(static_cast<double>(driverLostAfter->count()) / 1000);
  } else {
    w.Null();
  }
  w.Key("driver_refusal").Utf8Text(driverRefusal);
  w.Key("nodmi").Boolean(engine.SMBIOSRead != cCPUid::tSMBIOSRead::Read);
  w.Key("smbios").Utf8Text(SMBIOSReadName(engine.SMBIOSRead).Word);
  w.Key("cpu_count").Unsigned(count);
  const tMachineTopology machine = records->Machine(count);
  MachineRecord(w, machine);
  MachineList(w, records->Machines(count));
  w.Key("processors").BeginArray();
  for (unsigned i = 0; i < count; ++i)
    Processor(w, *records, engine.ClocksOf(i), engine.EffectiveClockOf(i), machine.Places[i], i);
  w.EndArray();
  SensorRecord(w, engine.Sensors());
  w.EndObject();
  return w.Finish();
}
