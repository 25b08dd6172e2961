#include "engine/decode/FieldTable.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "engine/decode/FeatureFlags.h"
#include "engine/store/Leaves.h"

namespace {

using namespace subleaf_rows;

constexpr auto NUM = tFieldKind::Number;
constexpr auto NM1 = tFieldKind::NumberMinusOne;
constexpr auto BYTES = tFieldKind::Bytes;
constexpr auto ID = tFieldKind::Identifier;
constexpr auto TEXT = tFieldKind::Text;

constexpr tFieldVendors INTEL = kForIntel;
constexpr tFieldVendors AMD = kForAmd;
constexpr tFieldVendors X86 = kForX86;
constexpr tFieldVendors ALL = kForEveryMaker;
constexpr tFieldVendors VIA = kForCentaur;
constexpr tFieldVendors TMTA = kForTransmeta;
constexpr tFieldVendors KVM = kForKvm;
constexpr tFieldVendors HV = kForHyperV;
constexpr tFieldVendors XEN = kForXen;

struct tSubs {
  std::uint32_t First, Last;
};
constexpr tSubs S0{0, 0};
constexpr tSubs S1{1, 1};
constexpr tSubs SN{0, 0xFFFFFFFF};  // every sub-leaf the leaf describes
constexpr tSubs S(std::uint32_t first, std::uint32_t last) {
  return {first, last};
}

constexpr tFieldRow Flag(std::uint32_t leaf, tSubs subs, tRegister reg, unsigned bit,
                         tFieldVendors vendors, std::string_view name, std::string_view meaning) {
  return {leaf,
          subs.First,
          subs.Last,
          reg,
          static_cast<std::uint8_t>(bit),
          static_cast<std::uint8_t>(bit),
          vendors,
          tFieldKind::Flag,
          name,
          meaning};
}
constexpr tFieldRow Field(std::uint32_t leaf, tSubs subs, tRegister reg, unsigned hi, unsigned lo,
                          tFieldVendors vendors, tFieldKind kind, std::string_view name,
                          std::string_view meaning) {
  return {leaf,
          subs.First,
          subs.Last,
          reg,
          static_cast<std::uint8_t>(hi),
          static_cast<std::uint8_t>(lo),
          vendors,
          kind,
          name,
          meaning};
}
constexpr tFieldRow Enum(std::uint32_t leaf, tSubs subs, tRegister reg, unsigned hi, unsigned lo,
                         tFieldVendors vendors, std::string_view name, std::string_view meaning,
                         std::span<const tEnumValue> values) {
  return {leaf,
          subs.First,
          subs.Last,
          reg,
          static_cast<std::uint8_t>(hi),
          static_cast<std::uint8_t>(lo),
          vendors,
          tFieldKind::Enumeration,
          name,
          meaning,
          values};
}
// An identifier of the logical processor itself.
constexpr tFieldRow Own(std::uint32_t leaf, tSubs subs, tRegister reg, unsigned hi, unsigned lo,
                        tFieldVendors vendors, std::string_view name, std::string_view meaning) {
  return {leaf,
          subs.First,
          subs.Last,
          reg,
          static_cast<std::uint8_t>(hi),
          static_cast<std::uint8_t>(lo),
          vendors,
          tFieldKind::Identifier,
          name,
          meaning,
          {},
          true};
}

// ---- Documents -------------------------------------------------------------------------

constexpr std::string_view kSdm = "Intel SDM vol. 2A, CPUID instruction";
constexpr std::string_view kApm = "AMD APM vol. 3, appendix E";
constexpr std::string_view kPpr = "AMD processor programming reference, family 19h";
constexpr std::string_view kTlfs = "Microsoft Hypervisor Top-Level Functional Specification 6.0";
constexpr std::string_view kKvmDoc = "Linux kernel, Documentation/virt/kvm/x86/cpuid.rst";
constexpr std::string_view kXenDoc = "Xen, xen/include/public/arch-x86/cpuid.h";
constexpr std::string_view kVmwareDoc = "VMware, hypervisor CPUID interface proposal";
constexpr std::string_view kBhyveDoc = "FreeBSD, sys/amd64/include/vmm.h (bhyve)";
constexpr std::string_view kTransmetaDoc = "Transmeta Crusoe processor data book, CPUID";
constexpr std::string_view kCentaurDoc = "VIA PadLock programming guide, CPUID";

// ---- Enumerations ----------------------------------------------------------------------

constexpr tEnumValue kProcessorTypes[] = {
    {0, "original OEM processor"}, {1, "OverDrive processor"}, {2, "dual processor"}};
constexpr tEnumValue kCacheTypes[] = {
    {1, "data cache"}, {2, "instruction cache"}, {3, "unified cache"}};
constexpr tEnumValue kLevelTypes[] = {{1, "SMT"},  {2, "core"}, {3, "module"},
                                      {4, "tile"}, {5, "die"},  {6, "die group"}};
constexpr tEnumValue kAmdLevelTypes[] = {{1, "core"}, {2, "complex"}, {3, "die"}, {4, "socket"}};
constexpr tEnumValue kCoreTypes[] = {{0x20, "Atom (efficiency)"}, {0x40, "Core (performance)"}};
constexpr tEnumValue kAmdCoreTypes[] = {{0, "performance"}, {1, "efficiency"}};
constexpr tEnumValue kTlbTypes[] = {{1, "data TLB"},
                                    {2, "instruction TLB"},
                                    {3, "unified TLB"},
                                    {4, "load-only TLB"},
                                    {5, "store-only TLB"}};
constexpr tEnumValue kEpcTypes[] = {{1, "EPC section"}};
constexpr tEnumValue kEpcProperties[] = {{1, "confidentiality and integrity protected"},
                                         {2, "confidentiality protected only"}};
constexpr tEnumValue kPconfigTypes[] = {{1, "target identifiers"}};
constexpr tEnumValue kPconfigTargets[] = {{0, "none"}, {1, "MKTME"}, {2, "TSE"}};
constexpr tEnumValue kTlbPartitioning[] = {{0, "soft, between logical processors"}};
constexpr tEnumValue kPerfTscSizes[] = {
    {0, "40 bits"}, {1, "48 bits"}, {2, "56 bits"}, {3, "64 bits"}};
constexpr tFieldVendors NOT_INTEL = ALL & ~INTEL;

// ---- Fields beside the feature registers' flags -----------------------------------------

constexpr tFieldRow kRows[] = {
    // Leaf 0: highest standard leaf, vendor string.
    Field(kLeafStandardBase, S0, EAX, 31, 0, ALL, NUM, "max_std_leaf", "Highest standard leaf"),
    Field(kLeafStandardBase, S0, EBX, 31, 0, ALL, TEXT, "vendor_1",
          "Vendor string, characters 1-4"),
    Field(kLeafStandardBase, S0, EDX, 31, 0, ALL, TEXT, "vendor_2",
          "Vendor string, characters 5-8"),
    Field(kLeafStandardBase, S0, ECX, 31, 0, ALL, TEXT, "vendor_3",
          "Vendor string, characters 9-12"),

    // Leaf 1: signature, brand index, CLFLUSH line, logical processors, APIC ID.
    Field(kLeafFeatures, S0, EAX, 3, 0, ALL, NUM, "stepping", "Stepping"),
    Field(kLeafFeatures, S0, EAX, 7, 4, ALL, NUM, "model", "Model"),
    Field(kLeafFeatures, S0, EAX, 11, 8, ALL, NUM, "family", "Family"),
    Enum(kLeafFeatures, S0, EAX, 13, 12, ALL, "processor_type", "Processor type", kProcessorTypes),
    Field(kLeafFeatures, S0, EAX, 19, 16, ALL, NUM, "extended_model", "Extended model"),
    Field(kLeafFeatures, S0, EAX, 27, 20, ALL, NUM, "extended_family", "Extended family"),
    Field(kLeafFeatures, S0, EBX, 7, 0, ALL, ID, "brand_index", "Brand index"),
    Field(kLeafFeatures, S0, EBX, 15, 8, ALL, NUM, "clflush_size",
          "CLFLUSH line size, 8-byte units"),
    Field(kLeafFeatures, S0, EBX, 23, 16, ALL, NUM, "max_logical_ids",
          "Addressable logical processor IDs"),
    Own(kLeafFeatures, S0, EBX, 31, 24, ALL, "initial_apic_id", "Initial APIC ID"),

    // Leaf 2: cache and TLB descriptors.
    Field(kLeafCacheDescriptors, S0, EAX, 7, 0, INTEL | VIA, NUM, "descriptor_repeat",
          "Times to execute leaf 2 (always 1)"),
    Field(kLeafCacheDescriptors, S0, EAX, 15, 8, INTEL | VIA, ID, "descriptor_1", "Descriptor 1"),
    Field(kLeafCacheDescriptors, S0, EAX, 23, 16, INTEL | VIA, ID, "descriptor_2", "Descriptor 2"),
    Field(kLeafCacheDescriptors, S0, EAX, 30, 24, INTEL | VIA, ID, "descriptor_3", "Descriptor 3"),
    Flag(kLeafCacheDescriptors, S0, EAX, 31, INTEL | VIA, "eax_no_descriptors",
         "EAX holds no descriptors"),
    Field(kLeafCacheDescriptors, S0, EBX, 7, 0, INTEL | VIA, ID, "descriptor_4", "Descriptor 4"),
    Field(kLeafCacheDescriptors, S0, EBX, 15, 8, INTEL | VIA, ID, "descriptor_5", "Descriptor 5"),
    Field(kLeafCacheDescriptors, S0, EBX, 23, 16, INTEL | VIA, ID, "descriptor_6", "Descriptor 6"),
    Field(kLeafCacheDescriptors, S0, EBX, 30, 24, INTEL | VIA, ID, "descriptor_7", "Descriptor 7"),
    Flag(kLeafCacheDescriptors, S0, EBX, 31, INTEL | VIA, "ebx_no_descriptors",
         "EBX holds no descriptors"),
    Field(kLeafCacheDescriptors, S0, ECX, 7, 0, INTEL | VIA, ID, "descriptor_8", "Descriptor 8"),
    Field(kLeafCacheDescriptors, S0, ECX, 15, 8, INTEL | VIA, ID, "descriptor_9", "Descriptor 9"),
    Field(kLeafCacheDescriptors, S0, ECX, 23, 16, INTEL | VIA, ID, "descriptor_10",
          "Descriptor 10"),
    Field(kLeafCacheDescriptors, S0, ECX, 30, 24, INTEL | VIA, ID, "descriptor_11",
          "Descriptor 11"),
    Flag(kLeafCacheDescriptors, S0, ECX, 31, INTEL | VIA, "ecx_no_descriptors",
         "ECX holds no descriptors"),
    Field(kLeafCacheDescriptors, S0, EDX, 7, 0, INTEL | VIA, ID, "descriptor_12", "Descriptor 12"),
    Field(kLeafCacheDescriptors, S0, EDX, 15, 8, INTEL | VIA, ID, "descriptor_13", "Descriptor 13"),
    Field(kLeafCacheDescriptors, S0, EDX, 23, 16, INTEL | VIA, ID, "descriptor_14",
          "Descriptor 14"),
    Field(kLeafCacheDescriptors, S0, EDX, 30, 24, INTEL | VIA, ID, "descriptor_15",
          "Descriptor 15"),
    Flag(kLeafCacheDescriptors, S0, EDX, 31, INTEL | VIA, "edx_no_descriptors",
         "EDX holds no descriptors"),

    // Leaf 3: processor serial number, bits 63..0 (bits 95..64 are leaf 1 EAX).
    Field(kLeafSerialNumber, S0, ECX, 31, 0, INTEL | TMTA, ID, "serial_middle",
          "Serial number, bits 63-32"),
    Field(kLeafSerialNumber, S0, EDX, 31, 0, INTEL | TMTA, ID, "serial_low",
          "Serial number, bits 31-0"),

    // Leaf 4: deterministic cache parameters, a sub-leaf per cache.
    Enum(kLeafCacheParameters, SN, EAX, 4, 0, INTEL | VIA, "cache_type", "Cache type", kCacheTypes),
    Field(kLeafCacheParameters, SN, EAX, 7, 5, INTEL | VIA, NUM, "cache_level", "Cache level"),
    Flag(kLeafCacheParameters, SN, EAX, 8, INTEL | VIA, "cache_self_init",
         "Self-initialising level"),
    Flag(kLeafCacheParameters, SN, EAX, 9, INTEL | VIA, "cache_fully_assoc", "Fully associative"),
    Field(kLeafCacheParameters, SN, EAX, 25, 14, INTEL | VIA, NM1, "cache_sharing_ids",
          "Logical processor IDs sharing it"),
    Field(kLeafCacheParameters, SN, EAX, 31, 26, INTEL | VIA, NM1, "package_core_ids",
          "Core IDs in the package"),
    Field(kLeafCacheParameters, SN, EBX, 11, 0, INTEL | VIA, NM1, "cache_line_size",
          "Line size, bytes"),
    Field(kLeafCacheParameters, SN, EBX, 21, 12, INTEL | VIA, NM1, "cache_partitions",
          "Physical line partitions"),
    Field(kLeafCacheParameters, SN, EBX, 31, 22, INTEL | VIA, NM1, "cache_ways", "Ways"),
    Field(kLeafCacheParameters, SN, ECX, 31, 0, INTEL | VIA, NM1, "cache_sets", "Sets"),
    Flag(kLeafCacheParameters, SN, EDX, 0, INTEL | VIA, "cache_wbinvd_not_lower",
         "WBINVD may not flush lower levels"),
    Flag(kLeafCacheParameters, SN, EDX, 1, INTEL | VIA, "cache_inclusive",
         "Inclusive of lower levels"),
    Flag(kLeafCacheParameters, SN, EDX, 2, INTEL | VIA, "cache_complex_index",
         "Complex indexing of sets"),

    // Leaf 5: MONITOR and MWAIT.
    Field(kLeafMonitorMwait, S0, EAX, 15, 0, ALL, BYTES, "monitor_line_min",
          "Smallest monitor line, bytes"),
    Field(kLeafMonitorMwait, S0, EBX, 15, 0, ALL, BYTES, "monitor_line_max",
          "Largest monitor line, bytes"),
    Flag(kLeafMonitorMwait, S0, ECX, 0, ALL, "mwait_ext", "MWAIT extensions enumerated"),
    Flag(kLeafMonitorMwait, S0, ECX, 1, ALL, "mwait_int_break",
         "Interrupts break MWAIT when masked"),
    Flag(kLeafMonitorMwait, S0, ECX, 3, INTEL, "monitorless_mwait", "MWAIT without MONITOR"),
    Field(kLeafMonitorMwait, S0, EDX, 3, 0, X86, NUM, "mwait_c0_states", "C0 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 7, 4, X86, NUM, "mwait_c1_states", "C1 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 11, 8, INTEL, NUM, "mwait_c2_states",
          "C2 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 15, 12, INTEL, NUM, "mwait_c3_states",
          "C3 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 19, 16, INTEL, NUM, "mwait_c4_states",
          "C4 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 23, 20, INTEL, NUM, "mwait_c5_states",
          "C5 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 27, 24, INTEL, NUM, "mwait_c6_states",
          "C6 sub-states for MWAIT"),
    Field(kLeafMonitorMwait, S0, EDX, 31, 28, INTEL, NUM, "mwait_c7_states",
          "C7 sub-states for MWAIT"),

    // Leaf 6: thermal and power management.
    Flag(kLeafThermalPower, S0, EAX, 0, INTEL | VIA, "dtherm", "Digital temperature sensor"),
    Flag(kLeafThermalPower, S0, EAX, 1, INTEL, "ida", "Turbo boost"),
    Flag(kLeafThermalPower, S0, EAX, 2, ALL, "arat", "APIC timer always running"),
    Flag(kLeafThermalPower, S0, EAX, 4, INTEL, "pln", "Power limit notification"),
    Flag(kLeafThermalPower, S0, EAX, 5, INTEL, "ecmd", "Extended clock modulation duty"),
    Flag(kLeafThermalPower, S0, EAX, 6, INTEL, "pts", "Package thermal management"),
    Flag(kLeafThermalPower, S0, EAX, 7, INTEL, "hwp", "Hardware P-states (HWP)"),
    Flag(kLeafThermalPower, S0, EAX, 8, INTEL, "hwp_notify", "HWP notification"),
    Flag(kLeafThermalPower, S0, EAX, 9, INTEL, "hwp_act_window", "HWP activity window"),
    Flag(kLeafThermalPower, S0, EAX, 10, INTEL, "hwp_epp", "HWP energy-performance preference"),
    Flag(kLeafThermalPower, S0, EAX, 11, INTEL, "hwp_pkg_req", "HWP package-level request"),
    Flag(kLeafThermalPower, S0, EAX, 13, INTEL, "hdc", "Hardware duty cycling"),
    Flag(kLeafThermalPower, S0, EAX, 14, INTEL, "turbo_boost_max_3", "Turbo boost max 3.0"),
    Flag(kLeafThermalPower, S0, EAX, 15, INTEL, "hwp_highest_perf_change",
         "HWP highest performance change"),
    Flag(kLeafThermalPower, S0, EAX, 16, INTEL, "hwp_peci_override", "HWP PECI override"),
    Flag(kLeafThermalPower, S0, EAX, 17, INTEL, "flexible_hwp", "Flexible HWP"),
    Flag(kLeafThermalPower, S0, EAX, 18, INTEL, "hwp_request_fast", "Fast HWP_REQUEST MSR access"),
    Flag(kLeafThermalPower, S0, EAX, 19, INTEL, "hfi", "Hardware feedback interface"),
    Flag(kLeafThermalPower, S0, EAX, 20, INTEL, "hwp_ignore_idle",
         "HWP request of idle processors ignored"),
    Flag(kLeafThermalPower, S0, EAX, 23, INTEL, "thread_director", "Thread director"),
    Flag(kLeafThermalPower, S0, EAX, 24, INTEL, "therm_interrupt_bit25",
         "THERM_INTERRUPT MSR bit 25"),
    Field(kLeafThermalPower, S0, EBX, 3, 0, INTEL, NUM, "thermal_thresholds",
          "Interrupt thresholds of the sensor"),
    Flag(kLeafThermalPower, S0, ECX, 0, ALL, "aperfmperf", "APERF and MPERF"),
    Flag(kLeafThermalPower, S0, ECX, 3, INTEL, "epb", "Energy-performance bias"),
    Field(kLeafThermalPower, S0, ECX, 15, 8, INTEL, NUM, "thread_director_classes",
          "Thread director classes"),
    Flag(kLeafThermalPower, S0, EDX, 0, INTEL, "hfi_performance", "HFI performance reporting"),
    Flag(kLeafThermalPower, S0, EDX, 1, INTEL, "hfi_efficiency", "HFI efficiency reporting"),
    Field(kLeafThermalPower, S0, EDX, 11, 8, INTEL, NM1, "hfi_table_pages",
          "HFI table size, 4 KB pages"),
    Own(kLeafThermalPower, S0, EDX, 31, 16, INTEL, "hfi_row_index", "Row of this processor in HFI"),

    // Leaf 7: structured extended features; the flags are the feature registers'.
    Field(kLeafStructuredFeatures, S0, EAX, 31, 0, ALL, NUM, "max_subleaf_7", "Highest sub-leaf"),
    Field(kLeafStructuredFeatures, S0, ECX, 21, 17, INTEL, NUM, "mawau",
          "MPX address-width adjust (user)"),
    Flag(kLeafStructuredFeatures, S1, EBX, 0, INTEL, "intel_ppin",
         "Protected processor inventory no."),
    Flag(kLeafStructuredFeatures, S1, EBX, 1, INTEL, "pbndkb", "PBNDKB instruction"),

    // Leaf 9: direct cache access.
    Field(kLeafDirectCacheAccess, S0, EAX, 31, 0, INTEL, ID, "dca_cap", "PLATFORM_DCA_CAP MSR"),

    // Leaf 0xA: architectural performance monitoring.
    Field(kLeafPerfMonitoring, S0, EAX, 7, 0, INTEL | VIA, NUM, "pmu_version", "Version"),
    Field(kLeafPerfMonitoring, S0, EAX, 15, 8, INTEL | VIA, NUM, "pmu_gp_counters",
          "General-purpose counters"),
    Field(kLeafPerfMonitoring, S0, EAX, 23, 16, INTEL | VIA, NUM, "pmu_gp_width",
          "General-purpose counter width"),
    Field(kLeafPerfMonitoring, S0, EAX, 31, 24, INTEL | VIA, NUM, "pmu_events_length",
          "Length of EBX's event vector"),
    Flag(kLeafPerfMonitoring, S0, EBX, 0, INTEL | VIA, "pmu_no_core_cycles",
         "No core cycles event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 1, INTEL | VIA, "pmu_no_instructions",
         "No instructions retired event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 2, INTEL | VIA, "pmu_no_ref_cycles",
         "No reference cycles event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 3, INTEL | VIA, "pmu_no_llc_refs",
         "No last-level cache references event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 4, INTEL | VIA, "pmu_no_llc_misses",
         "No last-level cache misses event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 5, INTEL | VIA, "pmu_no_branches",
         "No branches retired event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 6, INTEL | VIA, "pmu_no_mispredicts",
         "No branch mispredicts retired event"),
    Flag(kLeafPerfMonitoring, S0, EBX, 7, INTEL | VIA, "pmu_no_topdown_slots",
         "No top-down slots event"),
    Field(kLeafPerfMonitoring, S0, ECX, 31, 0, INTEL | VIA, ID, "pmu_fixed_mask",
          "Fixed counters supported, bit mask"),
    Field(kLeafPerfMonitoring, S0, EDX, 4, 0, INTEL | VIA, NUM, "pmu_fixed_counters",
          "Contiguous fixed counters"),
    Field(kLeafPerfMonitoring, S0, EDX, 12, 5, INTEL | VIA, NUM, "pmu_fixed_width",
          "Fixed counter width"),
    Flag(kLeafPerfMonitoring, S0, EDX, 15, INTEL | VIA, "pmu_anythread_deprecated",
         "AnyThread deprecated"),

    // Leaf 0xB: extended topology, a sub-leaf per level.
    Field(kLeafExtendedTopology, SN, EAX, 4, 0, ALL, NUM, "x2apic_shift",
          "x2APIC ID shift to the next level"),
    Field(kLeafExtendedTopology, SN, EBX, 15, 0, ALL, NUM, "level_processors",
          "Logical processors at this level"),
    Field(kLeafExtendedTopology, SN, ECX, 7, 0, ALL, NUM, "level_number", "Level number"),
    Enum(kLeafExtendedTopology, SN, ECX, 15, 8, ALL, "level_type", "Level type", kLevelTypes),
    Own(kLeafExtendedTopology, SN, EDX, 31, 0, ALL, "x2apic_id", "x2APIC ID"),

    // Leaf 0xD: XSAVE state. Sub-leaf 0 the XCR0 components, 1 the IA32_XSS ones, then one
    // sub-leaf per component.
    Flag(kLeafXsaveState, S0, EAX, 0, ALL, "xcr0_x87", "XCR0: x87 state"),
    Flag(kLeafXsaveState, S0, EAX, 1, ALL, "xcr0_sse", "XCR0: SSE state"),
    Flag(kLeafXsaveState, S0, EAX, 2, ALL, "xcr0_avx", "XCR0: AVX state"),
    Flag(kLeafXsaveState, S0, EAX, 3, INTEL, "xcr0_bndregs", "XCR0: MPX bound registers"),
    Flag(kLeafXsaveState, S0, EAX, 4, INTEL, "xcr0_bndcsr", "XCR0: MPX configuration"),
    Flag(kLeafXsaveState, S0, EAX, 5, ALL, "xcr0_opmask", "XCR0: AVX-512 opmask"),
    Flag(kLeafXsaveState, S0, EAX, 6, ALL, "xcr0_zmm_hi256", "XCR0: upper halves of ZMM0-15"),
    Flag(kLeafXsaveState, S0, EAX, 7, ALL, "xcr0_hi16_zmm", "XCR0: ZMM16-31"),
    Flag(kLeafXsaveState, S0, EAX, 9, ALL, "xcr0_pkru", "XCR0: PKRU"),
    Flag(kLeafXsaveState, S0, EAX, 17, INTEL, "xcr0_xtilecfg", "XCR0: AMX tile configuration"),
    Flag(kLeafXsaveState, S0, EAX, 18, INTEL, "xcr0_xtiledata", "XCR0: AMX tile data"),
    Flag(kLeafXsaveState, S0, EAX, 19, INTEL, "xcr0_apx", "XCR0: APX extended registers"),
    Field(kLeafXsaveState, S0, EBX, 31, 0, ALL, BYTES, "xsave_size_enabled",
          "XSAVE area for XCR0 now, bytes"),
    Field(kLeafXsaveState, S0, ECX, 31, 0, ALL, BYTES, "xsave_size_max",
          "XSAVE area for every XCR0 state, bytes"),
    Field(kLeafXsaveState, S0, EDX, 31, 0, ALL, ID, "xcr0_high", "XCR0 components 63-32"),
    Field(kLeafXsaveState, S1, EBX, 31, 0, ALL, BYTES, "xsaves_size",
          "XSAVES area for XCR0 | XSS now, bytes"),
    Flag(kLeafXsaveState, S1, ECX, 8, INTEL, "xss_pt", "XSS: processor trace"),
    Flag(kLeafXsaveState, S1, ECX, 10, INTEL, "xss_pasid", "XSS: PASID"),
    Flag(kLeafXsaveState, S1, ECX, 11, ALL, "xss_cet_u", "XSS: CET user state"),
    Flag(kLeafXsaveState, S1, ECX, 12, ALL, "xss_cet_s", "XSS: CET supervisor state"),
    Flag(kLeafXsaveState, S1, ECX, 13, INTEL, "xss_hdc", "XSS: hardware duty cycling"),
    Flag(kLeafXsaveState, S1, ECX, 14, INTEL, "xss_uintr", "XSS: user interrupts"),
    Flag(kLeafXsaveState, S1, ECX, 15, INTEL, "xss_lbr", "XSS: last branch records"),
    Flag(kLeafXsaveState, S1, ECX, 16, INTEL, "xss_hwp", "XSS: hardware P-states"),
    Field(kLeafXsaveState, S1, EDX, 31, 0, ALL, ID, "xss_high", "XSS components 63-32"),
    Field(kLeafXsaveState, S(2, 63), EAX, 31, 0, ALL, BYTES, "state_size", "Component size, bytes"),
    Field(kLeafXsaveState, S(2, 63), EBX, 31, 0, ALL, NUM, "state_offset",
          "Offset in the standard area, bytes"),
    Flag(kLeafXsaveState, S(2, 63), ECX, 0, ALL, "state_supervisor", "Supervisor state (IA32_XSS)"),
    Flag(kLeafXsaveState, S(2, 63), ECX, 1, ALL, "state_aligned_64",
         "64-byte aligned when compacted"),
    Flag(kLeafXsaveState, S(2, 63), ECX, 2, INTEL, "state_xfd", "Extended feature disable"),

    // Leaf 0xF: resource monitoring.
    Field(kLeafResourceMonitoring, S0, EBX, 31, 0, X86, NM1, "rmid_count_all",
          "RMIDs of every resource"),
    Flag(kLeafResourceMonitoring, S0, EDX, 1, X86, "cqm_llc", "L3 cache monitoring"),
    Field(kLeafResourceMonitoring, S1, EAX, 7, 0, X86, NUM, "cqm_counter_width",
          "Counter width less 24"),
    Flag(kLeafResourceMonitoring, S1, EAX, 8, X86, "cqm_overflow_bit", "Counter overflow bit"),
    Field(kLeafResourceMonitoring, S1, EBX, 31, 0, X86, NUM, "cqm_scale", "Counter unit, bytes"),
    Field(kLeafResourceMonitoring, S1, ECX, 31, 0, X86, NM1, "rmid_count_l3", "RMIDs of the L3"),
    Flag(kLeafResourceMonitoring, S1, EDX, 0, X86, "cqm_occup_llc", "L3 occupancy monitoring"),
    Flag(kLeafResourceMonitoring, S1, EDX, 1, X86, "cqm_mbm_total",
         "L3 total bandwidth monitoring"),
    Flag(kLeafResourceMonitoring, S1, EDX, 2, X86, "cqm_mbm_local",
         "L3 local bandwidth monitoring"),

    // Leaf 0x10: resource allocation. Sub-leaf 1 the L3, 2 the L2, 3 memory bandwidth.
    Flag(kLeafResourceAllocation, S0, EBX, 1, X86, "cat_l3", "L3 cache allocation"),
    Flag(kLeafResourceAllocation, S0, EBX, 2, X86, "cat_l2", "L2 cache allocation"),
    Flag(kLeafResourceAllocation, S0, EBX, 3, X86, "mba", "Memory bandwidth allocation"),
    Field(kLeafResourceAllocation, S(1, 2), EAX, 4, 0, X86, NM1, "cat_cbm_length",
          "Capacity bit mask length"),
    Field(kLeafResourceAllocation, S(1, 2), EBX, 31, 0, X86, ID, "cat_shared_mask",
          "Units shared with other agents"),
    Flag(kLeafResourceAllocation, S1, ECX, 1, INTEL, "cat_l3_io", "L3 allocation for I/O"),
    Flag(kLeafResourceAllocation, S1, ECX, 2, X86, "cdp_l3", "L3 code and data prioritisation"),
    Flag(kLeafResourceAllocation, S(2, 2), ECX, 2, INTEL, "cdp_l2",
         "L2 code and data prioritisation"),
    Flag(kLeafResourceAllocation, S(1, 2), ECX, 3, INTEL, "cat_noncontiguous",
         "Non-contiguous capacity masks"),
    Field(kLeafResourceAllocation, S(1, 3), EDX, 15, 0, X86, NM1, "cat_cos_count",
          "Classes of service"),
    Field(kLeafResourceAllocation, S(3, 3), EAX, 11, 0, INTEL, NM1, "mba_max_throttle",
          "Largest throttling value"),
    Flag(kLeafResourceAllocation, S(3, 3), ECX, 0, INTEL, "mba_per_thread",
         "Per-thread bandwidth controls"),
    Flag(kLeafResourceAllocation, S(3, 3), ECX, 2, INTEL, "mba_linear", "Linear throttling"),

    // Leaf 0x12: SGX. Sub-leaf 0 the functions, 1 the enclave attributes, then EPC sections.
    Flag(kLeafSgx, S0, EAX, 0, INTEL, "sgx1", "SGX1 leaf functions"),
    Flag(kLeafSgx, S0, EAX, 1, INTEL, "sgx2", "SGX2 leaf functions"),
    Flag(kLeafSgx, S0, EAX, 5, INTEL, "sgx_enclv", "ENCLV oversubscription leaves"),
    Flag(kLeafSgx, S0, EAX, 6, INTEL, "sgx_encls_c", "ENCLS ETRACKC, ERDINFO, ELDBC, ELDUC"),
    Flag(kLeafSgx, S0, EAX, 7, INTEL, "sgx_everifyreport2", "ENCLU EVERIFYREPORT2"),
    Flag(kLeafSgx, S0, EAX, 10, INTEL, "sgx_eupdatesvn", "ENCLS EUPDATESVN"),
    Flag(kLeafSgx, S0, EAX, 11, INTEL, "sgx_edeccssa", "ENCLU EDECCSSA"),
    Field(kLeafSgx, S0, EBX, 31, 0, INTEL, ID, "sgx_miscselect", "MISCSELECT bits supported"),
    Field(kLeafSgx, S0, EDX, 7, 0, INTEL, NUM, "sgx_max_enclave_32",
          "Largest enclave outside 64-bit mode, log2"),
    Field(kLeafSgx, S0, EDX, 15, 8, INTEL, NUM, "sgx_max_enclave_64",
          "Largest enclave in 64-bit mode, log2"),
    Field(kLeafSgx, S1, EAX, 31, 0, INTEL, ID, "sgx_attributes_0", "SECS.ATTRIBUTES bits 31-0"),
    Field(kLeafSgx, S1, EBX, 31, 0, INTEL, ID, "sgx_attributes_1", "SECS.ATTRIBUTES bits 63-32"),
    Field(kLeafSgx, S1, ECX, 31, 0, INTEL, ID, "sgx_attributes_2", "SECS.ATTRIBUTES bits 95-64"),
    Field(kLeafSgx, S1, EDX, 31, 0, INTEL, ID, "sgx_attributes_3", "SECS.ATTRIBUTES bits 127-96"),
    Enum(kLeafSgx, S(2, 33), EAX, 3, 0, INTEL, "epc_type", "Sub-leaf type", kEpcTypes),
    Field(kLeafSgx, S(2, 33), EAX, 31, 12, INTEL, ID, "epc_base_low", "EPC base, bits 31-12"),
    Field(kLeafSgx, S(2, 33), EBX, 19, 0, INTEL, ID, "epc_base_high", "EPC base, bits 51-32"),
    Enum(kLeafSgx, S(2, 33), ECX, 3, 0, INTEL, "epc_property", "EPC section property",
         kEpcProperties),
    Field(kLeafSgx, S(2, 33), ECX, 31, 12, INTEL, ID, "epc_size_low", "EPC size, bits 31-12"),
    Field(kLeafSgx, S(2, 33), EDX, 19, 0, INTEL, ID, "epc_size_high", "EPC size, bits 51-32"),

    // Leaf 0x14: processor trace.
    Field(kLeafProcessorTrace, S0, EAX, 31, 0, INTEL, NUM, "max_subleaf_14", "Highest sub-leaf"),
    Flag(kLeafProcessorTrace, S0, EBX, 0, INTEL, "pt_cr3_filter", "CR3 filtering"),
    Flag(kLeafProcessorTrace, S0, EBX, 1, INTEL, "pt_psb_cyc",
         "Configurable PSB, cycle-accurate mode"),
    Flag(kLeafProcessorTrace, S0, EBX, 2, INTEL, "pt_ip_filter", "IP filtering and TraceStop"),
    Flag(kLeafProcessorTrace, S0, EBX, 3, INTEL, "pt_mtc", "MTC timing packets"),
    Flag(kLeafProcessorTrace, S0, EBX, 4, INTEL, "pt_ptwrite", "PTWRITE"),
    Flag(kLeafProcessorTrace, S0, EBX, 5, INTEL, "pt_power_event", "Power event trace"),
    Flag(kLeafProcessorTrace, S0, EBX, 6, INTEL, "pt_psb_pmi", "PSB and PMI preservation"),
    Flag(kLeafProcessorTrace, S0, EBX, 7, INTEL, "pt_event_trace", "Event trace"),
    Flag(kLeafProcessorTrace, S0, EBX, 8, INTEL, "pt_tnt_disable", "TNT packets can be disabled"),
    Flag(kLeafProcessorTrace, S0, ECX, 0, INTEL, "pt_topa", "ToPA output"),
    Flag(kLeafProcessorTrace, S0, ECX, 1, INTEL, "pt_topa_multi", "ToPA tables of many entries"),
    Flag(kLeafProcessorTrace, S0, ECX, 2, INTEL, "pt_single_range", "Single-range output"),
    Flag(kLeafProcessorTrace, S0, ECX, 3, INTEL, "pt_trace_transport", "Output to trace transport"),
    Flag(kLeafProcessorTrace, S0, ECX, 31, INTEL, "pt_lip", "IP payloads are linear addresses"),
    Field(kLeafProcessorTrace, S1, EAX, 2, 0, INTEL, NUM, "pt_address_ranges",
          "Configurable address ranges"),
    Field(kLeafProcessorTrace, S1, EAX, 31, 16, INTEL, ID, "pt_mtc_periods",
          "MTC period encodings, bit mask"),
    Field(kLeafProcessorTrace, S1, EBX, 15, 0, INTEL, ID, "pt_cyc_thresholds",
          "Cycle thresholds, bit mask"),
    Field(kLeafProcessorTrace, S1, EBX, 31, 16, INTEL, ID, "pt_psb_frequencies",
          "PSB frequencies, bit mask"),

    // Leaf 0x15, 0x16: time-stamp counter and clocks.
    Field(kLeafTscCrystal, S0, EAX, 31, 0, INTEL, NUM, "tsc_denominator",
          "TSC/crystal denominator"),
    Field(kLeafTscCrystal, S0, EBX, 31, 0, INTEL, NUM, "tsc_numerator", "TSC/crystal numerator"),
    Field(kLeafTscCrystal, S0, ECX, 31, 0, INTEL, NUM, "crystal_hz", "Crystal clock, Hz"),
    Field(kLeafProcessorFrequency, S0, EAX, 15, 0, INTEL, NUM, "base_mhz", "Base clock, MHz"),
    Field(kLeafProcessorFrequency, S0, EBX, 15, 0, INTEL, NUM, "max_mhz", "Highest clock, MHz"),
    Field(kLeafProcessorFrequency, S0, ECX, 15, 0, INTEL, NUM, "bus_mhz", "Bus clock, MHz"),

    // Leaf 0x17: system-on-chip vendor.
    Field(kLeafSocVendor, S0, EAX, 31, 0, INTEL, NUM, "max_subleaf_17", "Highest sub-leaf"),
    Field(kLeafSocVendor, S0, EBX, 15, 0, INTEL, ID, "soc_vendor_id", "SoC vendor ID"),
    Flag(kLeafSocVendor, S0, EBX, 16, INTEL, "soc_standard_vendor",
         "Vendor ID by an industry scheme"),
    Field(kLeafSocVendor, S0, ECX, 31, 0, INTEL, ID, "soc_project_id", "SoC project ID"),
    Field(kLeafSocVendor, S0, EDX, 31, 0, INTEL, ID, "soc_stepping_id", "SoC stepping ID"),
    Field(kLeafSocVendor, S(1, 3), EAX, 31, 0, INTEL, TEXT, "soc_brand_a", "SoC brand, part 1"),
    Field(kLeafSocVendor, S(1, 3), EBX, 31, 0, INTEL, TEXT, "soc_brand_b", "SoC brand, part 2"),
    Field(kLeafSocVendor, S(1, 3), ECX, 31, 0, INTEL, TEXT, "soc_brand_c", "SoC brand, part 3"),
    Field(kLeafSocVendor, S(1, 3), EDX, 31, 0, INTEL, TEXT, "soc_brand_d", "SoC brand, part 4"),

    // Leaf 0x18: deterministic address translation, a sub-leaf per TLB.
    Field(kLeafAddressTranslation, S0, EAX, 31, 0, INTEL, NUM, "max_subleaf_18",
          "Highest sub-leaf"),
    Flag(kLeafAddressTranslation, SN, EBX, 0, INTEL, "tlb_4k", "4 KB pages"),
    Flag(kLeafAddressTranslation, SN, EBX, 1, INTEL, "tlb_2m", "2 MB pages"),
    Flag(kLeafAddressTranslation, SN, EBX, 2, INTEL, "tlb_4m", "4 MB pages"),
    Flag(kLeafAddressTranslation, SN, EBX, 3, INTEL, "tlb_1g", "1 GB pages"),
    Enum(kLeafAddressTranslation, SN, EBX, 10, 8, INTEL, "tlb_partitioning", "Partitioning",
         kTlbPartitioning),
    Field(kLeafAddressTranslation, SN, EBX, 31, 16, INTEL, NUM, "tlb_ways", "Ways"),
    Field(kLeafAddressTranslation, SN, ECX, 31, 0, INTEL, NUM, "tlb_sets", "Sets"),
    Enum(kLeafAddressTranslation, SN, EDX, 4, 0, INTEL, "tlb_type", "TLB type", kTlbTypes),
    Field(kLeafAddressTranslation, SN, EDX, 7, 5, INTEL, NUM, "tlb_level", "TLB level"),
    Flag(kLeafAddressTranslation, SN, EDX, 8, INTEL, "tlb_fully_assoc", "Fully associative"),
    Field(kLeafAddressTranslation, SN, EDX, 25, 14, INTEL, NM1, "tlb_sharing_ids",
          "Logical processor IDs sharing it"),

    // Leaf 0x19: key locker.
    Flag(kLeafKeyLocker, S0, EAX, 0, INTEL, "kl_cpl0_only", "Restriction to CPL 0 supported"),
    Flag(kLeafKeyLocker, S0, EAX, 1, INTEL, "kl_no_encrypt", "No-encrypt restriction supported"),
    Flag(kLeafKeyLocker, S0, EAX, 2, INTEL, "kl_no_decrypt", "No-decrypt restriction supported"),
    Flag(kLeafKeyLocker, S0, EBX, 0, INTEL, "aeskle", "AES key locker instructions"),
    Flag(kLeafKeyLocker, S0, EBX, 2, INTEL, "wide_kl", "Wide key locker instructions"),
    Flag(kLeafKeyLocker, S0, EBX, 4, INTEL, "kl_iwkey_backup", "IWKey backup MSRs"),
    Flag(kLeafKeyLocker, S0, ECX, 0, INTEL, "kl_nobackup", "LOADIWKEY NoBackup parameter"),
    Flag(kLeafKeyLocker, S0, ECX, 1, INTEL, "kl_random_iwkey", "Random IWKey"),

    // Leaf 0x1A: hybrid core type.
    Field(kLeafHybrid, S0, EAX, 23, 0, INTEL, ID, "native_model_id", "Native model ID"),
    Enum(kLeafHybrid, S0, EAX, 31, 24, INTEL, "core_type", "Core type", kCoreTypes),

    // Leaf 0x1B: PCONFIG targets.
    Enum(kLeafPconfig, SN, EAX, 11, 0, INTEL, "pconfig_type", "Sub-leaf type", kPconfigTypes),
    Enum(kLeafPconfig, SN, EBX, 31, 0, INTEL, "pconfig_target_1", "Target 1", kPconfigTargets),
    Enum(kLeafPconfig, SN, ECX, 31, 0, INTEL, "pconfig_target_2", "Target 2", kPconfigTargets),
    Enum(kLeafPconfig, SN, EDX, 31, 0, INTEL, "pconfig_target_3", "Target 3", kPconfigTargets),

    // Leaf 0x1C: architectural last branch records.
    Field(kLeafLastBranchRecords, S0, EAX, 7, 0, INTEL, ID, "lbr_depths",
          "Depths 8 * (n + 1) supported, bit mask"),
    Flag(kLeafLastBranchRecords, S0, EAX, 30, INTEL, "lbr_deep_c_reset",
         "Cleared in deep C-states"),
    Flag(kLeafLastBranchRecords, S0, EAX, 31, INTEL, "lbr_lip", "IPs are linear addresses"),
    Flag(kLeafLastBranchRecords, S0, EBX, 0, INTEL, "lbr_cpl_filter", "CPL filtering"),
    Flag(kLeafLastBranchRecords, S0, EBX, 1, INTEL, "lbr_branch_filter", "Branch filtering"),
    Flag(kLeafLastBranchRecords, S0, EBX, 2, INTEL, "lbr_call_stack", "Call-stack mode"),
    Flag(kLeafLastBranchRecords, S0, ECX, 0, INTEL, "lbr_mispredict", "Mispredict bit"),
    Flag(kLeafLastBranchRecords, S0, ECX, 1, INTEL, "lbr_timed", "Timed LBRs"),
    Flag(kLeafLastBranchRecords, S0, ECX, 2, INTEL, "lbr_branch_type", "Branch type field"),
    Field(kLeafLastBranchRecords, S0, ECX, 19, 16, INTEL, ID, "lbr_event_logging",
          "Event logging counters, bit mask"),

    // Leaf 0x1D, 0x1E: AMX tile palettes and TMUL.
    Field(kLeafTilePalettes, S0, EAX, 31, 0, INTEL, NUM, "max_palette", "Highest palette"),
    Field(kLeafTilePalettes, S(1, 7), EAX, 15, 0, INTEL, BYTES, "palette_total_bytes",
          "Tile storage, bytes"),
    Field(kLeafTilePalettes, S(1, 7), EAX, 31, 16, INTEL, BYTES, "palette_bytes_per_tile",
          "Bytes per tile"),
    Field(kLeafTilePalettes, S(1, 7), EBX, 15, 0, INTEL, BYTES, "palette_bytes_per_row",
          "Bytes per tile row"),
    Field(kLeafTilePalettes, S(1, 7), EBX, 31, 16, INTEL, NUM, "palette_tiles", "Tile registers"),
    Field(kLeafTilePalettes, S(1, 7), ECX, 15, 0, INTEL, NUM, "palette_rows", "Rows per tile"),
    Field(kLeafTileInformation, S0, EBX, 7, 0, INTEL, NUM, "tmul_maxk", "TMUL rows or columns"),
    Field(kLeafTileInformation, S0, EBX, 23, 8, INTEL, BYTES, "tmul_maxn", "TMUL column bytes"),

    // Leaf 0x1F: extended topology v2, a sub-leaf per level.
    Field(kLeafExtendedTopologyV2, SN, EAX, 4, 0, INTEL, NUM, "x2apic_shift",
          "x2APIC ID shift to the next level"),
    Field(kLeafExtendedTopologyV2, SN, EBX, 15, 0, INTEL, NUM, "level_processors",
          "Logical processors at this level"),
    Field(kLeafExtendedTopologyV2, SN, ECX, 7, 0, INTEL, NUM, "level_number", "Level number"),
    Enum(kLeafExtendedTopologyV2, SN, ECX, 15, 8, INTEL, "level_type", "Level type", kLevelTypes),
    Own(kLeafExtendedTopologyV2, SN, EDX, 31, 0, INTEL, "x2apic_id", "x2APIC ID"),

    // Leaf 0x20: HRESET.
    Field(kLeafHistoryReset, S0, EAX, 31, 0, INTEL, NUM, "max_subleaf_20", "Highest sub-leaf"),
    Flag(kLeafHistoryReset, S0, EBX, 0, INTEL, "hreset_thread_director",
         "HRESET resets thread director history"),

    // Leaf 0x21: trust domain (a TDX guest).
    Field(kLeafTrustDomain, S0, EBX, 31, 0, INTEL, TEXT, "tdx_vendor_1",
          "TDX vendor, characters 1-4"),
    Field(kLeafTrustDomain, S0, EDX, 31, 0, INTEL, TEXT, "tdx_vendor_2",
          "TDX vendor, characters 5-8"),
    Field(kLeafTrustDomain, S0, ECX, 31, 0, INTEL, TEXT, "tdx_vendor_3",
          "TDX vendor, characters 9-12"),

    // Leaf 0x23: architectural performance monitoring extensions.
    Flag(kLeafPerfMonitoringExt, S0, EAX, 0, INTEL, "pmu_ext_leaf", "Sub-leaf 0: this list"),
    Flag(kLeafPerfMonitoringExt, S0, EAX, 1, INTEL, "pmu_ext_counters", "Sub-leaf 1: counters"),
    Flag(kLeafPerfMonitoringExt, S0, EAX, 2, INTEL, "pmu_ext_acr",
         "Sub-leaf 2: auto counter reload"),
    Flag(kLeafPerfMonitoringExt, S0, EAX, 3, INTEL, "pmu_ext_events", "Sub-leaf 3: events"),
    Flag(kLeafPerfMonitoringExt, S0, EBX, 0, INTEL, "pmu_umask2", "UnitMask2 in event selectors"),
    Flag(kLeafPerfMonitoringExt, S0, EBX, 1, INTEL, "pmu_eq", "EQ bit in event selectors"),
    Field(kLeafPerfMonitoringExt, S1, EAX, 31, 0, INTEL, ID, "pmu_gp_counter_mask",
          "General-purpose counters, bit mask"),
    Field(kLeafPerfMonitoringExt, S1, EBX, 31, 0, INTEL, ID, "pmu_fixed_counter_mask",
          "Fixed counters, bit mask"),
    Field(kLeafPerfMonitoringExt, S(3, 3), EAX, 31, 0, INTEL, ID, "pmu_arch_events",
          "Architectural events, bit mask"),

    // Leaf 0x24: AVX10.
    Field(kLeafConvergedVector, S0, EAX, 31, 0, INTEL, NUM, "max_subleaf_24", "Highest sub-leaf"),
    Field(kLeafConvergedVector, S0, EBX, 7, 0, INTEL, NUM, "avx10_version", "AVX10 version"),
    Flag(kLeafConvergedVector, S0, EBX, 16, INTEL, "avx10_128", "AVX10 128-bit vectors"),
    Flag(kLeafConvergedVector, S0, EBX, 17, INTEL, "avx10_256", "AVX10 256-bit vectors"),
    Flag(kLeafConvergedVector, S0, EBX, 18, INTEL, "avx10_512", "AVX10 512-bit vectors"),

    // 0x80000000: highest extended leaf; AMD repeats the vendor string.
    Field(kLeafExtendedBase, S0, EAX, 31, 0, ALL, ID, "max_ext_leaf", "Highest extended leaf"),
    Field(kLeafExtendedBase, S0, EBX, 31, 0, AMD, TEXT, "ext_vendor_1",
          "Vendor string, characters 1-4"),
    Field(kLeafExtendedBase, S0, EDX, 31, 0, AMD, TEXT, "ext_vendor_2",
          "Vendor string, characters 5-8"),
    Field(kLeafExtendedBase, S0, ECX, 31, 0, AMD, TEXT, "ext_vendor_3",
          "Vendor string, characters 9-12"),

    // 0x80000001: extended signature and brand; the flags are the feature registers'.
    Field(kLeafExtendedFeatures, S0, EAX, 3, 0, AMD | TMTA, NUM, "ext_stepping", "Stepping"),
    Field(kLeafExtendedFeatures, S0, EAX, 7, 4, AMD | TMTA, NUM, "ext_model", "Model"),
    Field(kLeafExtendedFeatures, S0, EAX, 11, 8, AMD | TMTA, NUM, "ext_family", "Family"),
    Field(kLeafExtendedFeatures, S0, EAX, 19, 16, AMD, NUM, "ext_extended_model", "Extended model"),
    Field(kLeafExtendedFeatures, S0, EAX, 27, 20, AMD, NUM, "ext_extended_family",
          "Extended family"),
    Field(kLeafExtendedFeatures, S0, EBX, 15, 0, AMD, ID, "brand_id", "Brand ID"),
    Field(kLeafExtendedFeatures, S0, EBX, 31, 28, AMD, ID, "package_type", "Package type"),

    // 0x80000002..4: the brand string.
    Field(kLeafExtendedBrand1, S0, EAX, 31, 0, ALL, TEXT, "brand_1", "Brand, characters 1-4"),
    Field(kLeafExtendedBrand1, S0, EBX, 31, 0, ALL, TEXT, "brand_2", "Brand, characters 5-8"),
    Field(kLeafExtendedBrand1, S0, ECX, 31, 0, ALL, TEXT, "brand_3", "Brand, characters 9-12"),
    Field(kLeafExtendedBrand1, S0, EDX, 31, 0, ALL, TEXT, "brand_4", "Brand, characters 13-16"),
    Field(kLeafExtendedBrand2, S0, EAX, 31, 0, ALL, TEXT, "brand_5", "Brand, characters 17-20"),
    Field(kLeafExtendedBrand2, S0, EBX, 31, 0, ALL, TEXT, "brand_6", "Brand, characters 21-24"),
    Field(kLeafExtendedBrand2, S0, ECX, 31, 0, ALL, TEXT, "brand_7", "Brand, characters 25-28"),
    Field(kLeafExtendedBrand2, S0, EDX, 31, 0, ALL, TEXT, "brand_8", "Brand, characters 29-32"),
    Field(kLeafExtendedBrand3, S0, EAX, 31, 0, ALL, TEXT, "brand_9", "Brand, characters 33-36"),
    Field(kLeafExtendedBrand3, S0, EBX, 31, 0, ALL, TEXT, "brand_10", "Brand, characters 37-40"),
    Field(kLeafExtendedBrand3, S0, ECX, 31, 0, ALL, TEXT, "brand_11", "Brand, characters 41-44"),
    Field(kLeafExtendedBrand3, S0, EDX, 31, 0, ALL, TEXT, "brand_12", "Brand, characters 45-48"),

    // 0x80000005: level-1 caches and TLBs (not Intel's).
    Field(kLeafL1CacheTlb, S0, EAX, 7, 0, NOT_INTEL, NUM, "l1_itlb_2m_entries",
          "L1 instruction TLB, 2M/4M entries"),
    Field(kLeafL1CacheTlb, S0, EAX, 15, 8, NOT_INTEL, NUM, "l1_itlb_2m_ways",
          "L1 instruction TLB, 2M/4M ways"),
    Field(kLeafL1CacheTlb, S0, EAX, 23, 16, NOT_INTEL, NUM, "l1_dtlb_2m_entries",
          "L1 data TLB, 2M/4M entries"),
    Field(kLeafL1CacheTlb, S0, EAX, 31, 24, NOT_INTEL, NUM, "l1_dtlb_2m_ways",
          "L1 data TLB, 2M/4M ways"),
    Field(kLeafL1CacheTlb, S0, EBX, 7, 0, NOT_INTEL, NUM, "l1_itlb_4k_entries",
          "L1 instruction TLB, 4K entries"),
    Field(kLeafL1CacheTlb, S0, EBX, 15, 8, NOT_INTEL, NUM, "l1_itlb_4k_ways",
          "L1 instruction TLB, 4K ways"),
    Field(kLeafL1CacheTlb, S0, EBX, 23, 16, NOT_INTEL, NUM, "l1_dtlb_4k_entries",
          "L1 data TLB, 4K entries"),
    Field(kLeafL1CacheTlb, S0, EBX, 31, 24, NOT_INTEL, NUM, "l1_dtlb_4k_ways",
          "L1 data TLB, 4K ways"),
    Field(kLeafL1CacheTlb, S0, ECX, 7, 0, NOT_INTEL, BYTES, "l1d_line_size", "L1 data line, bytes"),
    Field(kLeafL1CacheTlb, S0, ECX, 15, 8, NOT_INTEL, NUM, "l1d_lines_per_tag",
          "L1 data lines per tag"),
    Field(kLeafL1CacheTlb, S0, ECX, 23, 16, NOT_INTEL, NUM, "l1d_ways", "L1 data ways"),
    Field(kLeafL1CacheTlb, S0, ECX, 31, 24, NOT_INTEL, NUM, "l1d_size_kb", "L1 data size, KB"),
    Field(kLeafL1CacheTlb, S0, EDX, 7, 0, NOT_INTEL, BYTES, "l1i_line_size",
          "L1 instruction line, bytes"),
    Field(kLeafL1CacheTlb, S0, EDX, 15, 8, NOT_INTEL, NUM, "l1i_lines_per_tag",
          "L1 instruction lines per tag"),
    Field(kLeafL1CacheTlb, S0, EDX, 23, 16, NOT_INTEL, NUM, "l1i_ways", "L1 instruction ways"),
    Field(kLeafL1CacheTlb, S0, EDX, 31, 24, NOT_INTEL, NUM, "l1i_size_kb",
          "L1 instruction size, KB"),

    // 0x80000006: level-2 cache and TLBs, level-3 cache (Intel: the level-2 cache only).
    Field(kLeafL2CacheTlb, S0, EAX, 11, 0, NOT_INTEL, NUM, "l2_itlb_2m_entries",
          "L2 instruction TLB, 2M/4M entries"),
    Field(kLeafL2CacheTlb, S0, EAX, 15, 12, NOT_INTEL, ID, "l2_itlb_2m_assoc",
          "L2 instruction TLB, 2M/4M ways code"),
    Field(kLeafL2CacheTlb, S0, EAX, 27, 16, NOT_INTEL, NUM, "l2_dtlb_2m_entries",
          "L2 data TLB, 2M/4M entries"),
    Field(kLeafL2CacheTlb, S0, EAX, 31, 28, NOT_INTEL, ID, "l2_dtlb_2m_assoc",
          "L2 data TLB, 2M/4M ways code"),
    Field(kLeafL2CacheTlb, S0, EBX, 11, 0, NOT_INTEL, NUM, "l2_itlb_4k_entries",
          "L2 instruction TLB, 4K entries"),
    Field(kLeafL2CacheTlb, S0, EBX, 15, 12, NOT_INTEL, ID, "l2_itlb_4k_assoc",
          "L2 instruction TLB, 4K ways code"),
    Field(kLeafL2CacheTlb, S0, EBX, 27, 16, NOT_INTEL, NUM, "l2_dtlb_4k_entries",
          "L2 data TLB, 4K entries"),
    Field(kLeafL2CacheTlb, S0, EBX, 31, 28, NOT_INTEL, ID, "l2_dtlb_4k_assoc",
          "L2 data TLB, 4K ways code"),
    Field(kLeafL2CacheTlb, S0, ECX, 7, 0, ALL, BYTES, "l2_line_size", "L2 line, bytes"),
    Field(kLeafL2CacheTlb, S0, ECX, 11, 8, NOT_INTEL, NUM, "l2_lines_per_tag", "L2 lines per tag"),
    Field(kLeafL2CacheTlb, S0, ECX, 15, 12, ALL, ID, "l2_assoc", "L2 ways code"),
    Field(kLeafL2CacheTlb, S0, ECX, 31, 16, ALL, NUM, "l2_size_kb", "L2 size, KB"),
    Field(kLeafL2CacheTlb, S0, EDX, 7, 0, AMD, BYTES, "l3_line_size", "L3 line, bytes"),
    Field(kLeafL2CacheTlb, S0, EDX, 11, 8, AMD, NUM, "l3_lines_per_tag", "L3 lines per tag"),
    Field(kLeafL2CacheTlb, S0, EDX, 15, 12, AMD, ID, "l3_assoc", "L3 ways code"),
    Field(kLeafL2CacheTlb, S0, EDX, 31, 18, AMD, NUM, "l3_size_512kb", "L3 size, 512 KB units"),

    // 0x80000007: RAS and power management; the EDX flags are the feature register's.
    Flag(kLeafPowerManagement, S0, EBX, 0, AMD, "overflow_recov", "MCA overflow recovery"),
    Flag(kLeafPowerManagement, S0, EBX, 1, AMD, "succor", "Software uncorrectable error recovery"),
    Flag(kLeafPowerManagement, S0, EBX, 2, AMD, "hwa", "Hardware assert"),
    Flag(kLeafPowerManagement, S0, EBX, 3, AMD, "smca", "Scalable MCA"),
    Flag(kLeafPowerManagement, S0, EBX, 4, AMD, "pfeh", "Platform-first error handling"),
    Field(kLeafPowerManagement, S0, ECX, 31, 0, AMD, NUM, "power_sample_ratio",
          "Power sample time ratio"),

    // 0x80000008: address sizes and core count; the EBX flags are the feature register's.
    Field(kLeafAddressSizes, S0, EAX, 7, 0, ALL, NUM, "phys_addr_bits", "Physical address bits"),
    Field(kLeafAddressSizes, S0, EAX, 15, 8, ALL, NUM, "linear_addr_bits", "Linear address bits"),
    Field(kLeafAddressSizes, S0, EAX, 23, 16, AMD, NUM, "guest_phys_addr_bits",
          "Guest physical address bits"),
    Field(kLeafAddressSizes, S0, ECX, 7, 0, AMD, NM1, "package_threads", "Threads in the package"),
    Field(kLeafAddressSizes, S0, ECX, 15, 12, AMD, NUM, "apic_id_size",
          "APIC ID bits of the threads"),
    Enum(kLeafAddressSizes, S0, ECX, 17, 16, AMD, "perf_tsc_size", "Performance TSC width",
         kPerfTscSizes),
    Field(kLeafAddressSizes, S0, EDX, 15, 0, AMD, NUM, "invlpgb_count_max",
          "Pages one INVLPGB may name"),
    Field(kLeafAddressSizes, S0, EDX, 25, 16, AMD, NUM, "rdpru_max_ecx", "Highest RDPRU register"),

    // 0x8000000A: secure virtual machine.
    Field(kLeafSecureVirtualMachine, S0, EAX, 7, 0, AMD, NUM, "svm_revision", "SVM revision"),
    Field(kLeafSecureVirtualMachine, S0, EBX, 31, 0, AMD, NUM, "svm_asids", "Address space IDs"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 0, AMD, "npt", "Nested paging"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 1, AMD, "lbrv", "LBR virtualisation"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 2, AMD, "svm_lock", "SVM lock"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 3, AMD, "nrip_save", "Next RIP save"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 4, AMD, "tsc_scale", "TSC rate control"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 5, AMD, "vmcb_clean", "VMCB clean bits"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 6, AMD, "flushbyasid", "Flush by ASID"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 7, AMD, "decodeassists", "Decode assists"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 8, AMD, "pmc_virt",
         "Performance counter virtualisation"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 10, AMD, "pausefilter", "PAUSE intercept filter"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 12, AMD, "pfthreshold", "PAUSE filter threshold"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 13, AMD, "avic", "Virtual interrupt controller"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 15, AMD, "v_vmsave_vmload",
         "Virtual VMSAVE and VMLOAD"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 16, AMD, "vgif", "Virtual global interrupt flag"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 17, AMD, "gmet", "Guest mode execute trap"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 18, AMD, "x2avic", "Virtual x2APIC"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 19, AMD, "sss_check", "Supervisor shadow stack check"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 20, AMD, "v_spec_ctrl", "Virtual SPEC_CTRL"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 21, AMD, "rogpt", "Read-only guest page tables"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 23, AMD, "host_mce_override", "Host MCE override"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 24, AMD, "tlbi_ctl", "INVLPGB/TLBSYNC interception"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 25, AMD, "vnmi", "Virtual NMI"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 26, AMD, "ibs_virt", "IBS virtualisation"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 27, AMD, "ext_lvt_avic_access",
         "Extended LVT AVIC access changes"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 28, AMD, "nested_vmcb_addr_chk",
         "Nested VMCB address check"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 29, AMD, "bus_lock_threshold", "Bus lock threshold"),
    Flag(kLeafSecureVirtualMachine, S0, EDX, 30, AMD, "idle_hlt", "Idle HLT intercept"),

    // 0x80000019: 1 GB page TLBs.
    Field(kLeafGigaPageTlb, S0, EAX, 11, 0, AMD, NUM, "l1_itlb_1g_entries",
          "L1 instruction TLB, 1G entries"),
    Field(kLeafGigaPageTlb, S0, EAX, 15, 12, AMD, ID, "l1_itlb_1g_assoc",
          "L1 instruction TLB, 1G ways code"),
    Field(kLeafGigaPageTlb, S0, EAX, 27, 16, AMD, NUM, "l1_dtlb_1g_entries",
          "L1 data TLB, 1G entries"),
    Field(kLeafGigaPageTlb, S0, EAX, 31, 28, AMD, ID, "l1_dtlb_1g_assoc",
          "L1 data TLB, 1G ways code"),
    Field(kLeafGigaPageTlb, S0, EBX, 11, 0, AMD, NUM, "l2_itlb_1g_entries",
          "L2 instruction TLB, 1G entries"),
    Field(kLeafGigaPageTlb, S0, EBX, 15, 12, AMD, ID, "l2_itlb_1g_assoc",
          "L2 instruction TLB, 1G ways code"),
    Field(kLeafGigaPageTlb, S0, EBX, 27, 16, AMD, NUM, "l2_dtlb_1g_entries",
          "L2 data TLB, 1G entries"),
    Field(kLeafGigaPageTlb, S0, EBX, 31, 28, AMD, ID, "l2_dtlb_1g_assoc",
          "L2 data TLB, 1G ways code"),

    // 0x8000001A: performance hints.
    Flag(kLeafPerformanceHints, S0, EAX, 0, AMD, "fp128", "128-bit SSE executed whole"),
    Flag(kLeafPerformanceHints, S0, EAX, 1, AMD, "movu", "MOVU faster than MOVL/MOVH"),
    Flag(kLeafPerformanceHints, S0, EAX, 2, AMD, "fp256", "256-bit AVX executed whole"),
    Flag(kLeafPerformanceHints, S0, EAX, 3, AMD, "fp512", "512-bit AVX executed whole"),

    // 0x8000001B: instruction-based sampling.
    Flag(kLeafInstructionSampling, S0, EAX, 0, AMD, "ibs_ffv", "IBS feature flags valid"),
    Flag(kLeafInstructionSampling, S0, EAX, 1, AMD, "ibs_fetch_sam", "IBS fetch sampling"),
    Flag(kLeafInstructionSampling, S0, EAX, 2, AMD, "ibs_op_sam", "IBS execution sampling"),
    Flag(kLeafInstructionSampling, S0, EAX, 3, AMD, "ibs_rd_wr_op_cnt", "Read/write of op counter"),
    Flag(kLeafInstructionSampling, S0, EAX, 4, AMD, "ibs_op_cnt", "Op counting mode"),
    Flag(kLeafInstructionSampling, S0, EAX, 5, AMD, "ibs_brn_trgt", "Branch target address"),
    Flag(kLeafInstructionSampling, S0, EAX, 6, AMD, "ibs_op_cnt_ext", "Op counters extended"),
    Flag(kLeafInstructionSampling, S0, EAX, 7, AMD, "ibs_rip_invalid_chk",
         "Invalid RIP indication"),
    Flag(kLeafInstructionSampling, S0, EAX, 8, AMD, "ibs_op_brn_fuse", "Fused branch micro-ops"),
    Flag(kLeafInstructionSampling, S0, EAX, 9, AMD, "ibs_fetch_ctl_extd", "Fetch control extended"),
    Flag(kLeafInstructionSampling, S0, EAX, 10, AMD, "ibs_op_data4", "IBS op data 4 MSR"),
    Flag(kLeafInstructionSampling, S0, EAX, 11, AMD, "ibs_l3_miss_filter", "L3 miss filtering"),

    // 0x8000001C: lightweight profiling, as supported (EDX) and as enabled (EAX).
    Flag(kLeafLightweightProfiling, S0, EDX, 0, AMD, "lwp_avail", "LWP available"),
    Flag(kLeafLightweightProfiling, S0, EDX, 1, AMD, "lwp_val", "LWPVAL instruction"),
    Flag(kLeafLightweightProfiling, S0, EDX, 2, AMD, "lwp_ireti", "Instructions-retired event"),
    Flag(kLeafLightweightProfiling, S0, EDX, 3, AMD, "lwp_bre", "Branch-retired event"),
    Flag(kLeafLightweightProfiling, S0, EDX, 4, AMD, "lwp_dme", "DC miss event"),
    Flag(kLeafLightweightProfiling, S0, EDX, 5, AMD, "lwp_cnh", "Core clocks not halted event"),
    Flag(kLeafLightweightProfiling, S0, EDX, 6, AMD, "lwp_rnh", "Reference clocks not halted"),
    Flag(kLeafLightweightProfiling, S0, EDX, 29, AMD, "lwp_cont", "Continuous sampling"),
    Flag(kLeafLightweightProfiling, S0, EDX, 30, AMD, "lwp_ptsc", "Performance TSC in records"),
    Flag(kLeafLightweightProfiling, S0, EDX, 31, AMD, "lwp_int", "Interrupt on threshold"),
    Field(kLeafLightweightProfiling, S0, EBX, 7, 0, AMD, NUM, "lwpcb_size",
          "Control block, quadwords"),
    Field(kLeafLightweightProfiling, S0, EBX, 15, 8, AMD, BYTES, "lwp_event_size",
          "Event record, bytes"),
    Field(kLeafLightweightProfiling, S0, EBX, 23, 16, AMD, NUM, "lwp_max_event",
          "Highest event ID"),
    Field(kLeafLightweightProfiling, S0, EBX, 31, 24, AMD, BYTES, "lwp_event_offset",
          "Event offset in the control block"),

    // 0x8000001D: cache topology, a sub-leaf per cache.
    Enum(kLeafCacheTopology, SN, EAX, 4, 0, AMD, "cache_type", "Cache type", kCacheTypes),
    Field(kLeafCacheTopology, SN, EAX, 7, 5, AMD, NUM, "cache_level", "Cache level"),
    Flag(kLeafCacheTopology, SN, EAX, 8, AMD, "cache_self_init", "Self-initialising level"),
    Flag(kLeafCacheTopology, SN, EAX, 9, AMD, "cache_fully_assoc", "Fully associative"),
    Field(kLeafCacheTopology, SN, EAX, 25, 14, AMD, NM1, "cache_sharing_ids",
          "Logical processors sharing it"),
    Field(kLeafCacheTopology, SN, EBX, 11, 0, AMD, NM1, "cache_line_size", "Line size, bytes"),
    Field(kLeafCacheTopology, SN, EBX, 21, 12, AMD, NM1, "cache_partitions",
          "Physical line partitions"),
    Field(kLeafCacheTopology, SN, EBX, 31, 22, AMD, NM1, "cache_ways", "Ways"),
    Field(kLeafCacheTopology, SN, ECX, 31, 0, AMD, NM1, "cache_sets", "Sets"),
    Flag(kLeafCacheTopology, SN, EDX, 0, AMD, "cache_wbinvd_not_lower",
         "WBINVD may not flush lower levels"),
    Flag(kLeafCacheTopology, SN, EDX, 1, AMD, "cache_inclusive", "Inclusive of lower levels"),

    // 0x8000001E: processor identifiers.
    Own(kLeafProcessorIds, S0, EAX, 31, 0, AMD, "ext_apic_id", "Extended APIC ID"),
    Own(kLeafProcessorIds, S0, EBX, 7, 0, AMD, "core_id", "Core (compute unit) ID"),
    Field(kLeafProcessorIds, S0, EBX, 15, 8, AMD, NM1, "threads_per_core",
          "Threads per core (compute unit)"),
    Field(kLeafProcessorIds, S0, ECX, 7, 0, AMD, ID, "node_id", "Node ID"),
    Field(kLeafProcessorIds, S0, ECX, 10, 8, AMD, NM1, "nodes_per_processor",
          "Nodes per processor"),

    // 0x8000001F: memory encryption.
    Flag(kLeafMemoryEncryption, S0, EAX, 0, AMD, "sme", "Secure memory encryption"),
    Flag(kLeafMemoryEncryption, S0, EAX, 1, AMD, "sev", "Secure encrypted virtualisation"),
    Flag(kLeafMemoryEncryption, S0, EAX, 2, AMD, "vm_page_flush", "Page flush MSR"),
    Flag(kLeafMemoryEncryption, S0, EAX, 3, AMD, "sev_es", "SEV encrypted state"),
    Flag(kLeafMemoryEncryption, S0, EAX, 4, AMD, "sev_snp", "SEV secure nested paging"),
    Flag(kLeafMemoryEncryption, S0, EAX, 5, AMD, "vmpl", "VM permission levels"),
    Flag(kLeafMemoryEncryption, S0, EAX, 6, AMD, "rmpquery", "RMPQUERY instruction"),
    Flag(kLeafMemoryEncryption, S0, EAX, 7, AMD, "vmpl_sss", "VMPL supervisor shadow stacks"),
    Flag(kLeafMemoryEncryption, S0, EAX, 8, AMD, "secure_tsc", "Secure TSC"),
    Flag(kLeafMemoryEncryption, S0, EAX, 9, AMD, "v_tsc_aux", "Virtual TSC_AUX"),
    Flag(kLeafMemoryEncryption, S0, EAX, 10, AMD, "sme_coherent",
         "Cache coherency across encryption domains"),
    Flag(kLeafMemoryEncryption, S0, EAX, 11, AMD, "req_64bit_hypervisor",
         "SEV guests need a 64-bit hypervisor"),
    Flag(kLeafMemoryEncryption, S0, EAX, 12, AMD, "restricted_injection", "Restricted injection"),
    Flag(kLeafMemoryEncryption, S0, EAX, 13, AMD, "alternate_injection", "Alternate injection"),
    Flag(kLeafMemoryEncryption, S0, EAX, 14, AMD, "debug_swap", "Debug register swap"),
    Flag(kLeafMemoryEncryption, S0, EAX, 15, AMD, "prevent_host_ibs", "Host IBS prevention"),
    Flag(kLeafMemoryEncryption, S0, EAX, 16, AMD, "vte", "Virtual transparent encryption"),
    Field(kLeafMemoryEncryption, S0, EBX, 5, 0, AMD, NUM, "c_bit_position",
          "Page table bit of encryption"),
    Field(kLeafMemoryEncryption, S0, EBX, 11, 6, AMD, NUM, "phys_addr_reduction",
          "Physical address bits lost"),
    Field(kLeafMemoryEncryption, S0, EBX, 15, 12, AMD, NUM, "vmpl_count", "VM permission levels"),
    Field(kLeafMemoryEncryption, S0, ECX, 31, 0, AMD, NUM, "encrypted_guests",
          "Encrypted guests at once"),
    Field(kLeafMemoryEncryption, S0, EDX, 31, 0, AMD, NUM, "sev_min_asid",
          "Lowest ASID of an SEV guest without ES"),

    // 0x80000020: platform QoS. Sub-leaf 1 the L3 bandwidth, 2 slow memory, 3 events.
    Flag(kLeafPlatformQos, S0, EBX, 1, AMD, "l3mbe", "L3 memory bandwidth enforcement"),
    Flag(kLeafPlatformQos, S0, EBX, 2, AMD, "smba", "Slow memory bandwidth allocation"),
    Flag(kLeafPlatformQos, S0, EBX, 3, AMD, "bmec", "Bandwidth monitoring event configuration"),
    Flag(kLeafPlatformQos, S0, EBX, 4, AMD, "l3rr", "L3 range reservation"),
    Flag(kLeafPlatformQos, S0, EBX, 5, AMD, "abmc", "Assignable bandwidth monitoring counters"),
    Flag(kLeafPlatformQos, S0, EBX, 6, AMD, "sdciae", "Smart data cache injection allocation"),
    Field(kLeafPlatformQos, S(1, 2), EAX, 31, 0, AMD, NUM, "bandwidth_length",
          "Bandwidth limit field width"),
    Field(kLeafPlatformQos, S(1, 2), EDX, 31, 0, AMD, NUM, "bandwidth_cos_max",
          "Highest class of service"),
    Field(kLeafPlatformQos, S(3, 3), EBX, 7, 0, AMD, NUM, "bandwidth_events",
          "Configurable bandwidth events"),
    Field(kLeafPlatformQos, S(3, 3), ECX, 6, 0, AMD, ID, "bandwidth_event_types",
          "Bandwidth event types, bit mask"),

    // 0x80000021: extended features 2; the EAX flags are the feature register's.
    Field(kLeafExtendedFeatures2, S0, EBX, 11, 0, AMD, NUM, "microcode_patch_size",
          "Microcode patch, 16-byte units"),
    Field(kLeafExtendedFeatures2, S0, EBX, 23, 16, AMD, NUM, "rap_size",
          "Return address predictor, entries / 8"),

    // 0x80000022: performance monitoring v2.
    Flag(kLeafPerfMonitoringV2, S0, EAX, 0, AMD, "perfmon_v2", "Performance monitoring v2"),
    Flag(kLeafPerfMonitoringV2, S0, EAX, 1, AMD, "amd_lbr_v2", "Last branch record stack"),
    Flag(kLeafPerfMonitoringV2, S0, EAX, 2, AMD, "amd_lbr_pmc_freeze",
         "Freeze of LBRs and counters on overflow"),
    Field(kLeafPerfMonitoringV2, S0, EBX, 3, 0, AMD, NUM, "core_counters", "Core counters"),
    Field(kLeafPerfMonitoringV2, S0, EBX, 9, 4, AMD, NUM, "lbr_stack_size", "LBR stack entries"),
    Field(kLeafPerfMonitoringV2, S0, EBX, 15, 10, AMD, NUM, "df_counters", "Data fabric counters"),
    Field(kLeafPerfMonitoringV2, S0, EBX, 21, 16, AMD, NUM, "umc_counters",
          "Memory controller counters"),
    Field(kLeafPerfMonitoringV2, S0, ECX, 31, 0, AMD, ID, "umc_active_mask",
          "Active memory controllers, bit mask"),

    // 0x80000023: multi-key encrypted memory.
    Flag(kLeafMultiKeyEncryption, S0, EAX, 0, AMD, "mem_hmk", "Host multi-key encryption"),
    Field(kLeafMultiKeyEncryption, S0, EBX, 15, 0, AMD, NUM, "mem_hmk_keys",
          "Encryption keys at once"),

    // 0x80000026: extended topology, a sub-leaf per level.
    Field(kLeafExtendedTopologyAmd, SN, EAX, 4, 0, AMD, NUM, "x2apic_shift",
          "x2APIC ID shift to the next level"),
    Flag(kLeafExtendedTopologyAmd, SN, EAX, 29, AMD, "efficiency_ranking",
         "Efficiency ranking available"),
    Flag(kLeafExtendedTopologyAmd, SN, EAX, 30, AMD, "heterogeneous_cores",
         "Cores of more than one type"),
    Flag(kLeafExtendedTopologyAmd, SN, EAX, 31, AMD, "asymmetric_topology",
         "Levels of unequal size"),
    Field(kLeafExtendedTopologyAmd, SN, EBX, 15, 0, AMD, NUM, "level_processors",
          "Logical processors at this level"),
    Field(kLeafExtendedTopologyAmd, SN, EBX, 23, 16, AMD, NUM, "efficiency_rank",
          "Power efficiency ranking"),
    Field(kLeafExtendedTopologyAmd, SN, EBX, 27, 24, AMD, ID, "native_model_id", "Native model ID"),
    Enum(kLeafExtendedTopologyAmd, SN, EBX, 31, 28, AMD, "core_type", "Core type", kAmdCoreTypes),
    Field(kLeafExtendedTopologyAmd, SN, ECX, 7, 0, AMD, NUM, "level_number", "Level number"),
    Enum(kLeafExtendedTopologyAmd, SN, ECX, 15, 8, AMD, "level_type", "Level type", kAmdLevelTypes),
    Own(kLeafExtendedTopologyAmd, SN, EDX, 31, 0, AMD, "x2apic_id", "Extended APIC ID"),

    // Hypervisor leaves, numbered from the range's first leaf (0x40000000, or 0x40000100 for
    // a second interface); which fields apply follows from the range's signature.
    Field(kLeafHypervisorBase, S0, EAX, 31, 0, kForAnyHypervisor, ID, "max_hv_leaf",
          "Highest hypervisor leaf"),
    Field(kLeafHypervisorBase, S0, EBX, 31, 0, kForAnyHypervisor, TEXT, "hv_vendor_1",
          "Hypervisor signature, characters 1-4"),
    Field(kLeafHypervisorBase, S0, ECX, 31, 0, kForAnyHypervisor, TEXT, "hv_vendor_2",
          "Hypervisor signature, characters 5-8"),
    Field(kLeafHypervisorBase, S0, EDX, 31, 0, kForAnyHypervisor, TEXT, "hv_vendor_3",
          "Hypervisor signature, characters 9-12"),

    // KVM
    Flag(kLeafHypervisorInterface, S0, EAX, 0, KVM, "kvm_clocksource",
         "kvmclock at MSRs 0x11, 0x12"),
    Flag(kLeafHypervisorInterface, S0, EAX, 1, KVM, "kvm_nop_io_delay", "No delay on port 0x80"),
    Flag(kLeafHypervisorInterface, S0, EAX, 2, KVM, "kvm_mmu_op", "MMU operations (deprecated)"),
    Flag(kLeafHypervisorInterface, S0, EAX, 3, KVM, "kvm_clocksource2",
         "kvmclock at MSRs 0x4b564d00, 01"),
    Flag(kLeafHypervisorInterface, S0, EAX, 4, KVM, "kvm_async_pf", "Asynchronous page faults"),
    Flag(kLeafHypervisorInterface, S0, EAX, 5, KVM, "kvm_steal_time", "Steal time"),
    Flag(kLeafHypervisorInterface, S0, EAX, 6, KVM, "kvm_pv_eoi", "Paravirtual end of interrupt"),
    Flag(kLeafHypervisorInterface, S0, EAX, 7, KVM, "kvm_pv_unhalt", "Paravirtual spinlock unhalt"),
    Flag(kLeafHypervisorInterface, S0, EAX, 9, KVM, "kvm_pv_tlb_flush", "Paravirtual TLB flush"),
    Flag(kLeafHypervisorInterface, S0, EAX, 10, KVM, "kvm_async_pf_vmexit",
         "Asynchronous page faults as VM exits"),
    Flag(kLeafHypervisorInterface, S0, EAX, 11, KVM, "kvm_pv_send_ipi", "Paravirtual IPIs"),
    Flag(kLeafHypervisorInterface, S0, EAX, 12, KVM, "kvm_poll_control",
         "Host-side halt polling control"),
    Flag(kLeafHypervisorInterface, S0, EAX, 13, KVM, "kvm_pv_sched_yield", "Paravirtual yield"),
    Flag(kLeafHypervisorInterface, S0, EAX, 14, KVM, "kvm_async_pf_int",
         "Asynchronous page faults by interrupt"),
    Flag(kLeafHypervisorInterface, S0, EAX, 15, KVM, "kvm_msi_ext_dest_id",
         "Extended destination ID in MSIs"),
    Flag(kLeafHypervisorInterface, S0, EAX, 16, KVM, "kvm_hc_map_gpa_range",
         "MAP_GPA_RANGE hypercall"),
    Flag(kLeafHypervisorInterface, S0, EAX, 17, KVM, "kvm_migration_control",
         "Migration control MSR"),
    Flag(kLeafHypervisorInterface, S0, EAX, 24, KVM, "kvm_clocksource_stable",
         "kvmclock is stable"),
    Flag(kLeafHypervisorInterface, S0, EDX, 0, KVM, "kvm_hints_realtime",
         "Virtual processors never preempted"),
    Field(kLeafHypervisorTiming, S0, EAX, 31, 0, KVM | kForVmware, NUM, "hv_tsc_khz",
          "TSC clock, kHz"),
    Field(kLeafHypervisorTiming, S0, EBX, 31, 0, KVM | kForVmware, NUM, "hv_apic_bus_khz",
          "APIC bus clock, kHz"),

    // bhyve
    Flag(kLeafHypervisorInterface, S0, EAX, 0, kForBhyve, "bhyve_ext_dest_id",
         "Extended destination ID in MSIs"),

    // Hyper-V
    Field(kLeafHypervisorInterface, S0, EAX, 31, 0, HV, TEXT, "hv_interface",
          "Interface signature (Hv#1)"),
    Field(kLeafHypervisorVersion, S0, EAX, 31, 0, HV, NUM, "hv_build", "Build number"),
    Field(kLeafHypervisorVersion, S0, EBX, 15, 0, HV, NUM, "hv_minor", "Minor version"),
    Field(kLeafHypervisorVersion, S0, EBX, 31, 16, HV, NUM, "hv_major", "Major version"),
    Field(kLeafHypervisorVersion, S0, ECX, 31, 0, HV, NUM, "hv_service_pack", "Service pack"),
    Field(kLeafHypervisorVersion, S0, EDX, 23, 0, HV, NUM, "hv_service_number", "Service number"),
    Field(kLeafHypervisorVersion, S0, EDX, 31, 24, HV, NUM, "hv_service_branch", "Service branch"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 0, HV, "hv_vp_runtime", "VP run time MSR"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 1, HV, "hv_time_ref_count", "Reference counter MSR"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 2, HV, "hv_synic", "Synthetic interrupt controller"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 3, HV, "hv_stimer", "Synthetic timers"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 4, HV, "hv_apic_access", "APIC access MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 5, HV, "hv_hypercall", "Hypercall MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 6, HV, "hv_vp_index", "Virtual processor index MSR"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 7, HV, "hv_reset", "Virtual system reset MSR"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 8, HV, "hv_stats", "Statistics pages MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 9, HV, "hv_reference_tsc", "Reference TSC page"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 10, HV, "hv_guest_idle", "Guest idle MSR"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 11, HV, "hv_frequency", "TSC and APIC frequency MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 12, HV, "hv_debug_msrs", "Synthetic debug MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EAX, 13, HV, "hv_reenlightenment",
         "Reenlightenment controls"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 0, HV, "hv_create_partitions", "Create partitions"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 1, HV, "hv_access_partition_id", "Partition ID access"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 2, HV, "hv_access_memory_pool", "Memory pool access"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 4, HV, "hv_post_messages", "Post messages"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 5, HV, "hv_signal_events", "Signal events"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 6, HV, "hv_create_port", "Create ports"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 7, HV, "hv_connect_port", "Connect ports"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 8, HV, "hv_access_stats", "Statistics access"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 11, HV, "hv_debugging", "Debugging"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 12, HV, "hv_cpu_management", "Processor management"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 15, HV, "hv_access_vsm", "Virtual secure mode"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 16, HV, "hv_access_vp_registers",
         "Virtual processor registers access"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 19, HV, "hv_extended_hypercalls", "Extended hypercalls"),
    Flag(kLeafHypervisorFeatures, S0, EBX, 20, HV, "hv_start_vp", "Start virtual processors"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 1, HV, "hv_guest_debugging", "Guest debugging"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 2, HV, "hv_perf_monitor", "Performance monitor"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 3, HV, "hv_cpu_dynamic_partitioning",
         "Processor dynamic partitioning events"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 4, HV, "hv_xmm_hypercall_input",
         "Hypercall input in XMM registers"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 5, HV, "hv_guest_idle_state",
         "Virtual guest idle state"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 6, HV, "hv_sleep_state", "Hypervisor sleep state"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 7, HV, "hv_numa_distance", "NUMA distance query"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 8, HV, "hv_timer_frequency", "Timer frequency details"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 9, HV, "hv_mce_injection", "Synthetic machine checks"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 10, HV, "hv_guest_crash", "Guest crash MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 11, HV, "hv_debug_msrs_edx", "Debug MSRs"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 12, HV, "hv_npiep", "NPIEP"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 13, HV, "hv_disable_hypervisor", "Hypervisor disable"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 14, HV, "hv_ext_gva_ranges_flush",
         "Extended GVA ranges for flushes"),
    Flag(kLeafHypervisorFeatures, S0, EDX, 15, HV, "hv_xmm_hypercall_output",
         "Hypercall output in XMM registers"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 0, HV, "hv_rec_as_switch",
         "Hypercall for address space switches"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 1, HV, "hv_rec_local_flush",
         "Hypercall for local TLB flushes"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 2, HV, "hv_rec_remote_flush",
         "Hypercall for remote TLB flushes"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 3, HV, "hv_rec_apic_msrs",
         "MSRs for EOI, ICR and TPR"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 4, HV, "hv_rec_reset_msr",
         "MSR for system reset"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 5, HV, "hv_rec_relaxed_timing", "Relaxed timing"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 6, HV, "hv_rec_dma_remapping", "DMA remapping"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 7, HV, "hv_rec_interrupt_remapping",
         "Interrupt remapping"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 8, HV, "hv_rec_x2apic_msrs", "x2APIC MSRs"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 9, HV, "hv_rec_no_auto_eoi", "No auto-EOI"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 10, HV, "hv_rec_cluster_ipi",
         "Synthetic cluster IPI"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 11, HV, "hv_rec_ex_processor_masks",
         "Extended processor masks"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 12, HV, "hv_rec_nested", "Nested partition"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 13, HV, "hv_rec_int_mbec",
         "INT for MBEC system calls"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 14, HV, "hv_rec_enlightened_vmcs",
         "Enlightened VMCS"),
    Field(kLeafHypervisorRecommendations, S0, EBX, 31, 0, HV, NUM, "hv_spinlock_retries",
          "Spinlock retries before notifying"),
    Field(kLeafHypervisorLimits, S0, EAX, 31, 0, HV, NUM, "hv_max_vps",
          "Virtual processors at most"),
    Field(kLeafHypervisorLimits, S0, EBX, 31, 0, HV, NUM, "hv_max_lps",
          "Logical processors at most"),
    Field(kLeafHypervisorLimits, S0, ECX, 31, 0, HV, NUM, "hv_max_interrupt_vectors",
          "Remapped interrupt vectors at most"),
    Flag(kLeafHypervisorHardware, S0, EAX, 0, HV, "hv_hw_apic_overlay", "APIC overlay assist"),
    Flag(kLeafHypervisorHardware, S0, EAX, 1, HV, "hv_hw_msr_bitmaps", "MSR bitmaps"),
    Flag(kLeafHypervisorHardware, S0, EAX, 2, HV, "hv_hw_perf_counters",
         "Architectural performance counters"),
    Flag(kLeafHypervisorHardware, S0, EAX, 3, HV, "hv_hw_slat", "Second-level address translation"),
    Flag(kLeafHypervisorHardware, S0, EAX, 4, HV, "hv_hw_dma_remapping", "DMA remapping"),
    Flag(kLeafHypervisorHardware, S0, EAX, 5, HV, "hv_hw_interrupt_remapping",
         "Interrupt remapping"),
    Flag(kLeafHypervisorHardware, S0, EAX, 6, HV, "hv_hw_memory_scrubber",
         "Memory patrol scrubber"),
    Flag(kLeafHypervisorHardware, S0, EAX, 7, HV, "hv_hw_dma_protection", "DMA protection"),
    Flag(kLeafHypervisorHardware, S0, EAX, 8, HV, "hv_hw_hpet", "HPET requested"),
    Flag(kLeafHypervisorHardware, S0, EAX, 9, HV, "hv_hw_volatile_stimer",
         "Synthetic timers are volatile"),
    Field(kLeafHypervisorNestedFeatures, S0, EAX, 7, 0, HV, NUM, "hv_evmcs_low",
          "Enlightened VMCS, lowest version"),
    Field(kLeafHypervisorNestedFeatures, S0, EAX, 15, 8, HV, NUM, "hv_evmcs_high",
          "Enlightened VMCS, highest version"),
    Flag(kLeafHypervisorNestedFeatures, S0, EAX, 17, HV, "hv_direct_flush", "Direct virtual flush"),
    Flag(kLeafHypervisorNestedFeatures, S0, EAX, 18, HV, "hv_flush_guest_physical",
         "Guest physical address space flush"),
    Flag(kLeafHypervisorNestedFeatures, S0, EAX, 19, HV, "hv_enlightened_msr_bitmap",
         "Enlightened MSR bitmap"),
    Flag(kLeafHypervisorNestedFeatures, S0, EAX, 20, HV, "hv_combine_virt_exceptions",
         "Combined virtualisation exceptions"),
    Flag(kLeafHypervisorNestedFeatures, S0, EAX, 22, HV, "hv_enlightened_tlb", "Enlightened TLB"),

    // Xen
    Field(kLeafHypervisorInterface, S0, EAX, 15, 0, XEN, NUM, "xen_minor", "Xen minor version"),
    Field(kLeafHypervisorInterface, S0, EAX, 31, 16, XEN, NUM, "xen_major", "Xen major version"),
    Field(kLeafHypervisorVersion, S0, EAX, 31, 0, XEN, NUM, "xen_hypercall_pages",
          "Hypercall transfer pages"),
    Field(kLeafHypervisorVersion, S0, EBX, 31, 0, XEN, ID, "xen_msr_base", "Hypercall MSR"),
    Flag(kLeafHypervisorVersion, S0, ECX, 0, XEN, "xen_mmu_pt_update_preserve_ad",
         "MMU_PT_UPDATE_PRESERVE_AD"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 0, XEN, "xen_apic_access_virt",
         "Virtualised APIC registers"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 1, XEN, "xen_x2apic_virt", "Virtualised x2APIC"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 2, XEN, "xen_iommu_mappings",
         "IOMMU mappings of guest memory"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 3, XEN, "xen_vcpu_id_present",
         "EBX holds the VCPU ID"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 4, XEN, "xen_domid_present",
         "ECX holds the domain ID"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 5, XEN, "xen_ext_dest_id",
         "Extended destination ID in MSIs"),
    Flag(kLeafHypervisorRecommendations, S0, EAX, 6, XEN, "xen_upcall_vector",
         "Per-VCPU event channel upcall vector"),
    Own(kLeafHypervisorRecommendations, S0, EBX, 31, 0, XEN, "xen_vcpu_id", "VCPU ID"),
    Field(kLeafHypervisorRecommendations, S0, ECX, 31, 0, XEN, ID, "xen_domid", "Domain ID"),

    // Transmeta
    Field(kLeafTransmetaBase, S0, EAX, 31, 0, TMTA, ID, "max_tm_leaf", "Highest Transmeta leaf"),
    Field(kLeafTransmetaBase, S0, EBX, 31, 0, TMTA, TEXT, "tm_vendor_1", "Vendor, characters 1-4"),
    Field(kLeafTransmetaBase, S0, EDX, 31, 0, TMTA, TEXT, "tm_vendor_2", "Vendor, characters 5-8"),
    Field(kLeafTransmetaBase, S0, ECX, 31, 0, TMTA, TEXT, "tm_vendor_3", "Vendor, characters 9-12"),
    Field(kLeafTransmetaVersion, S0, EAX, 31, 0, TMTA, ID, "tm_version", "Processor version"),
    Field(kLeafTransmetaVersion, S0, EBX, 31, 0, TMTA, ID, "tm_hardware_revision",
          "Hardware revision"),
    Field(kLeafTransmetaVersion, S0, ECX, 31, 0, TMTA, NUM, "tm_nominal_mhz", "Nominal clock, MHz"),
    Flag(kLeafTransmetaVersion, S0, EDX, 0, TMTA, "recovery", "CMS recovery mode"),
    Flag(kLeafTransmetaVersion, S0, EDX, 1, TMTA, "longrun", "LongRun power management"),
    Flag(kLeafTransmetaVersion, S0, EDX, 3, TMTA, "lrti", "LongRun table interface"),
    Field(kLeafTransmetaSoftware, S0, EAX, 31, 0, TMTA, ID, "tm_cms_revision_a",
          "Code morphing software revision"),
    Field(kLeafTransmetaSoftware, S0, EBX, 31, 0, TMTA, ID, "tm_cms_revision_b",
          "Code morphing software revision"),
    Field(kLeafTransmetaSoftware, S0, ECX, 31, 0, TMTA, ID, "tm_cms_revision_c",
          "Code morphing software revision"),
    Field(kLeafTransmetaInfo1, S0, EAX, 31, 0, TMTA, TEXT, "tm_info_1", "Information, 1-4"),
    Field(kLeafTransmetaInfo1, S0, EBX, 31, 0, TMTA, TEXT, "tm_info_2", "Information, 5-8"),
    Field(kLeafTransmetaInfo1, S0, ECX, 31, 0, TMTA, TEXT, "tm_info_3", "Information, 9-12"),
    Field(kLeafTransmetaInfo1, S0, EDX, 31, 0, TMTA, TEXT, "tm_info_4", "Information, 13-16"),
    Field(kLeafTransmetaInfo2, S0, EAX, 31, 0, TMTA, TEXT, "tm_info_5", "Information, 17-20"),
    Field(kLeafTransmetaInfo2, S0, EBX, 31, 0, TMTA, TEXT, "tm_info_6", "Information, 21-24"),
    Field(kLeafTransmetaInfo2, S0, ECX, 31, 0, TMTA, TEXT, "tm_info_7", "Information, 25-28"),
    Field(kLeafTransmetaInfo2, S0, EDX, 31, 0, TMTA, TEXT, "tm_info_8", "Information, 29-32"),
    Field(kLeafTransmetaInfo3, S0, EAX, 31, 0, TMTA, TEXT, "tm_info_9", "Information, 33-36"),
    Field(kLeafTransmetaInfo3, S0, EBX, 31, 0, TMTA, TEXT, "tm_info_10", "Information, 37-40"),
    Field(kLeafTransmetaInfo3, S0, ECX, 31, 0, TMTA, TEXT, "tm_info_11", "Information, 41-44"),
    Field(kLeafTransmetaInfo3, S0, EDX, 31, 0, TMTA, TEXT, "tm_info_12", "Information, 45-48"),
    Field(kLeafTransmetaInfo4, S0, EAX, 31, 0, TMTA, TEXT, "tm_info_13", "Information, 49-52"),
    Field(kLeafTransmetaInfo4, S0, EBX, 31, 0, TMTA, TEXT, "tm_info_14", "Information, 53-56"),
    Field(kLeafTransmetaInfo4, S0, ECX, 31, 0, TMTA, TEXT, "tm_info_15", "Information, 57-60"),
    Field(kLeafTransmetaInfo4, S0, EDX, 31, 0, TMTA, TEXT, "tm_info_16", "Information, 61-64"),
    Field(kLeafTransmetaState, S0, EAX, 31, 0, TMTA, NUM, "tm_current_mhz", "Current clock, MHz"),
    Field(kLeafTransmetaState, S0, EBX, 31, 0, TMTA, NUM, "tm_current_mv", "Current voltage, mV"),
    Field(kLeafTransmetaState, S0, ECX, 31, 0, TMTA, NUM, "tm_longrun_percent",
          "LongRun level, percent"),
    Field(kLeafTransmetaState, S0, EDX, 31, 0, TMTA, NUM, "tm_gate_delay_fs",
          "Gate delay, femtoseconds"),

    // Centaur and Zhaoxin
    Field(kLeafCentaurBase, S0, EAX, 31, 0, VIA, ID, "max_centaur_leaf", "Highest Centaur leaf"),
    Field(kLeafCentaurFeatures, S0, EAX, 31, 0, VIA, ID, "centaur_signature",
          "Processor signature"),
    Flag(kLeafCentaurFeatures, S0, EDX, 0, VIA, "ais", "Alternate instruction set"),
    Flag(kLeafCentaurFeatures, S0, EDX, 1, VIA, "ais_en", "Alternate instruction set enabled"),
    Flag(kLeafCentaurFeatures, S0, EDX, 2, VIA, "rng", "Random number generator (XSTORE)"),
    Flag(kLeafCentaurFeatures, S0, EDX, 3, VIA, "rng_en", "Random number generator enabled"),
    Flag(kLeafCentaurFeatures, S0, EDX, 4, VIA, "lh", "LongHaul MSR 0x110A"),
    Flag(kLeafCentaurFeatures, S0, EDX, 5, VIA, "femms", "FEMMS instruction"),
    Flag(kLeafCentaurFeatures, S0, EDX, 6, VIA, "ace", "Advanced cryptography engine"),
    Flag(kLeafCentaurFeatures, S0, EDX, 7, VIA, "ace_en", "Cryptography engine enabled"),
    Flag(kLeafCentaurFeatures, S0, EDX, 8, VIA, "ace2", "Cryptography engine 2"),
    Flag(kLeafCentaurFeatures, S0, EDX, 9, VIA, "ace2_en", "Cryptography engine 2 enabled"),
    Flag(kLeafCentaurFeatures, S0, EDX, 10, VIA, "phe", "PadLock hash engine"),
    Flag(kLeafCentaurFeatures, S0, EDX, 11, VIA, "phe_en", "Hash engine enabled"),
    Flag(kLeafCentaurFeatures, S0, EDX, 12, VIA, "pmm", "PadLock Montgomery multiplier"),
    Flag(kLeafCentaurFeatures, S0, EDX, 13, VIA, "pmm_en", "Montgomery multiplier enabled"),
};

constexpr tFieldVendors kEveryone = ALL;

constexpr tLeafTitle kTitles[] = {
    {kLeafStandardBase, kEveryone, "Highest standard leaf and vendor", kSdm},
    {kLeafFeatures, kEveryone, "Signature and features", kSdm},
    {kLeafCacheDescriptors, INTEL | VIA, "Cache and TLB descriptors", kSdm},
    {kLeafSerialNumber, INTEL | TMTA, "Processor serial number", kSdm},
    {kLeafCacheParameters, INTEL | VIA, "Deterministic cache parameters", kSdm},
    {kLeafMonitorMwait, kEveryone, "MONITOR and MWAIT", kSdm},
    {kLeafThermalPower, kEveryone, "Thermal and power management", kSdm},
    {kLeafStructuredFeatures, kEveryone, "Structured extended features", kSdm},
    {kLeafDirectCacheAccess, INTEL, "Direct cache access", kSdm},
    {kLeafPerfMonitoring, INTEL | VIA, "Architectural performance monitoring", kSdm},
    {kLeafExtendedTopology, kEveryone, "Extended topology", kSdm},
    {kLeafXsaveState, kEveryone, "XSAVE state components", kSdm},
    {kLeafResourceMonitoring, X86, "Resource monitoring", kSdm},
    {kLeafResourceAllocation, X86, "Resource allocation", kSdm},
    {kLeafSgx, INTEL, "Software guard extensions", kSdm},
    {kLeafProcessorTrace, INTEL, "Processor trace", kSdm},
    {kLeafTscCrystal, INTEL, "Time-stamp counter and crystal clock", kSdm},
    {kLeafProcessorFrequency, INTEL, "Processor clocks", kSdm},
    {kLeafSocVendor, INTEL, "System-on-chip vendor", kSdm},
    {kLeafAddressTranslation, INTEL, "Deterministic address translation", kSdm},
    {kLeafKeyLocker, INTEL, "Key locker", kSdm},
    {kLeafHybrid, INTEL, "Hybrid core type", kSdm},
    {kLeafPconfig, INTEL, "PCONFIG targets", kSdm},
    {kLeafLastBranchRecords, INTEL, "Architectural last branch records", kSdm},
    {kLeafTilePalettes, INTEL, "Tile palettes", kSdm},
    {kLeafTileInformation, INTEL, "Tile multiply unit", kSdm},
    {kLeafExtendedTopologyV2, INTEL, "Extended topology v2", kSdm},
    {kLeafHistoryReset, INTEL, "History reset", kSdm},
    {kLeafTrustDomain, INTEL, "Trust domain extensions", kSdm},
    {kLeafPerfMonitoringExt, INTEL, "Performance monitoring extensions", kSdm},
    {kLeafConvergedVector, INTEL, "AVX10 converged vector ISA", kSdm},
    {kLeafHypervisorBase, kForAnyHypervisor, "Highest hypervisor leaf and signature", kTlfs},
    {kLeafHypervisorInterface, KVM, "KVM features", kKvmDoc},
    {kLeafHypervisorInterface, HV, "Hyper-V interface", kTlfs},
    {kLeafHypervisorInterface, XEN, "Xen version", kXenDoc},
    {kLeafHypervisorInterface, kForBhyve, "bhyve features", kBhyveDoc},
    {kLeafHypervisorVersion, HV, "Hyper-V version", kTlfs},
    {kLeafHypervisorVersion, XEN, "Xen hypercall pages", kXenDoc},
    {kLeafHypervisorFeatures, HV, "Hyper-V features", kTlfs},
    {kLeafHypervisorRecommendations, HV, "Hyper-V recommendations", kTlfs},
    {kLeafHypervisorRecommendations, XEN, "Xen HVM features", kXenDoc},
    {kLeafHypervisorLimits, HV, "Hyper-V limits", kTlfs},
    {kLeafHypervisorHardware, HV, "Hyper-V hardware features", kTlfs},
    {kLeafHypervisorNestedFeatures, HV, "Hyper-V nested features", kTlfs},
    {kLeafHypervisorTiming, KVM | kForVmware, "Hypervisor timing", kVmwareDoc},
    {kLeafExtendedBase, kEveryone, "Highest extended leaf", kApm},
    {kLeafExtendedFeatures, kEveryone, "Extended signature and features", kApm},
    {kLeafExtendedBrand1, kEveryone, "Brand string, part 1", kApm},
    {kLeafExtendedBrand2, kEveryone, "Brand string, part 2", kApm},
    {kLeafExtendedBrand3, kEveryone, "Brand string, part 3", kApm},
    {kLeafL1CacheTlb, NOT_INTEL, "Level-1 caches and TLBs", kApm},
    {kLeafL2CacheTlb, kEveryone, "Level-2 cache and TLBs, level-3 cache", kApm},
    {kLeafPowerManagement, kEveryone, "RAS and advanced power management", kApm},
    {kLeafAddressSizes, kEveryone, "Address sizes and core count", kApm},
    {kLeafSecureVirtualMachine, AMD, "Secure virtual machine", kApm},
    {kLeafGigaPageTlb, AMD, "1 GB page TLBs", kApm},
    {kLeafPerformanceHints, AMD, "Performance optimisation hints", kApm},
    {kLeafInstructionSampling, AMD, "Instruction-based sampling", kApm},
    {kLeafLightweightProfiling, AMD, "Lightweight profiling", kApm},
    {kLeafCacheTopology, AMD, "Cache topology", kApm},
    {kLeafProcessorIds, AMD, "Processor identifiers", kApm},
    {kLeafMemoryEncryption, AMD, "Memory encryption", kApm},
    {kLeafPlatformQos, AMD, "Platform quality of service", kApm},
    {kLeafExtendedFeatures2, AMD, "Extended features 2", kApm},
    {kLeafPerfMonitoringV2, AMD, "Performance monitoring v2", kApm},
    {kLeafMultiKeyEncryption, AMD, "Multi-key encrypted memory", kPpr},
    {kLeafExtendedTopologyAmd, AMD, "Extended CPU topology", kApm},
    {kLeafTransmetaBase, TMTA, "Highest Transmeta leaf and vendor", kTransmetaDoc},
    {kLeafTransmetaVersion, TMTA, "Transmeta processor version", kTransmetaDoc},
    {kLeafTransmetaSoftware, TMTA, "Code morphing software version", kTransmetaDoc},
    {kLeafTransmetaInfo1, TMTA, "Transmeta information, part 1", kTransmetaDoc},
    {kLeafTransmetaInfo2, TMTA, "Transmeta information, part 2", kTransmetaDoc},
    {kLeafTransmetaInfo3, TMTA, "Transmeta information, part 3", kTransmetaDoc},
    {kLeafTransmetaInfo4, TMTA, "Transmeta information, part 4", kTransmetaDoc},
    {kLeafTransmetaState, TMTA, "LongRun state", kTransmetaDoc},
    {kLeafCentaurBase, VIA, "Highest Centaur leaf", kCentaurDoc},
    {kLeafCentaurFeatures, VIA, "Centaur features", kCentaurDoc},
};

bool RowBefore(const tFieldRow& a, const tFieldRow& b) {
  return std::tie(a.Leaf, a.Register, a.Lo, a.SubFirst) <
         std::tie(b.Leaf, b.Register, b.Lo, b.SubFirst);
}

// The rows of the table and a row for every named bit of the feature registers.
std::vector<tFieldRow> AllRows() {
  std::vector<tFieldRow> rows(std::begin(kRows), std::end(kRows));
  for (const tFeatureRegister& reg : kFeatureRegisters) {
    const tRegister which = reg.Register == &tCPUIDResult::EAX   ? EAX
                            : reg.Register == &tCPUIDResult::EBX ? EBX
                            : reg.Register == &tCPUIDResult::ECX ? ECX
                                                                 : EDX;
    for (unsigned bit = 0; bit < reg.Bits.size(); ++bit) {
      const tFlagName& name = reg.Bits[bit];
      if (name.Short.empty()) continue;
      rows.push_back(Flag(reg.Leaf, S(reg.SubLeaf, reg.SubLeaf), which, bit, kEveryone, name.Short,
                          name.Caption));
    }
  }
  std::stable_sort(rows.begin(), rows.end(), RowBefore);
  return rows;
}

const std::vector<tFieldRow>& Rows() {
  static const std::vector<tFieldRow> rows = AllRows();
  return rows;
}

}  // namespace

std::span<const tFieldRow> FieldRows() {
  return Rows();
}

std::span<const tLeafTitle> LeafTitles() {
  return kTitles;
}

const tLeafTitle* LeafTitleOf(std::uint32_t leaf, tFieldVendors vendors) {
  for (const tLeafTitle& title : kTitles) {
    if (title.Leaf == leaf && (title.Vendors & vendors) != 0) return &title;
  }
  return nullptr;
}

std::span<const tFieldRow> FieldRowsOf(std::uint32_t leaf) {
  const std::vector<tFieldRow>& rows = Rows();
  const auto first =
      std::lower_bound(rows.begin(), rows.end(), leaf,
                       [](const tFieldRow& r, std::uint32_t l) { return r.Leaf < l; });
  auto last = first;
  while (last != rows.end() && last->Leaf == leaf)
    ++last;
  return {first, last};
}
