// The CPUID leaves the engine executes and reads, each named once. The first leaf of a range
// gives in EAX the highest leaf of that range.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Standard range ----------------------------------------------------------------------

inline constexpr std::uint32_t kLeafStandardBase = 0x00000000;  // maximum leaf, vendor string
inline constexpr std::uint32_t kLeafFeatures = 0x00000001;      // signature, feature flags
inline constexpr std::uint32_t kLeafCacheDescriptors = 0x00000002;
inline constexpr std::uint32_t kLeafCacheParameters = 0x00000004;
inline constexpr std::uint32_t kLeafThermalPower = 0x00000006;
inline constexpr std::uint32_t kLeafStructuredFeatures = 0x00000007;
inline constexpr std::uint32_t kLeafExtendedTopology = 0x0000000B;
inline constexpr std::uint32_t kLeafXsaveState = 0x0000000D;
inline constexpr std::uint32_t kLeafResourceMonitoring = 0x0000000F;
inline constexpr std::uint32_t kLeafResourceAllocation = 0x00000010;
inline constexpr std::uint32_t kLeafSgx = 0x00000012;
inline constexpr std::uint32_t kLeafProcessorTrace = 0x00000014;
inline constexpr std::uint32_t kLeafTscCrystal = 0x00000015;
inline constexpr std::uint32_t kLeafProcessorFrequency = 0x00000016;
inline constexpr std::uint32_t kLeafSocVendor = 0x00000017;
inline constexpr std::uint32_t kLeafAddressTranslation = 0x00000018;
inline constexpr std::uint32_t kLeafHybrid = 0x0000001A;
inline constexpr std::uint32_t kLeafPconfig = 0x0000001B;
inline constexpr std::uint32_t kLeafTilePalettes = 0x0000001D;
inline constexpr std::uint32_t kLeafExtendedTopologyV2 = 0x0000001F;
inline constexpr std::uint32_t kLeafHistoryReset = 0x00000020;
inline constexpr std::uint32_t kLeafTrustDomain = 0x00000021;
inline constexpr std::uint32_t kLeafPerfMonitoringExt = 0x00000023;
inline constexpr std::uint32_t kLeafConvergedVector = 0x00000024;

// The highest standard leaf the capture executes, whatever the processor reports.
inline constexpr std::uint32_t kLeafStandardCap = 0x0000003F;

// ---- Hypervisor ranges -------------------------------------------------------------------

inline constexpr std::uint32_t kLeafHypervisorBase = 0x40000000;  // maximum leaf, signature
inline constexpr std::uint32_t kLeafHypervisorTiming = 0x40000010;
inline constexpr std::uint32_t kLeafHypervisorSecondBase = 0x40000100;

// ---- Extended range ----------------------------------------------------------------------

inline constexpr std::uint32_t kLeafExtendedBase = 0x80000000;  // maximum extended leaf
inline constexpr std::uint32_t kLeafExtendedFeatures = 0x80000001;
inline constexpr std::uint32_t kLeafExtendedBrand1 = 0x80000002;
inline constexpr std::uint32_t kLeafExtendedBrand2 = 0x80000003;
inline constexpr std::uint32_t kLeafExtendedBrand3 = 0x80000004;
inline constexpr std::uint32_t kLeafL1CacheTlb = 0x80000005;
inline constexpr std::uint32_t kLeafL2CacheTlb = 0x80000006;
inline constexpr std::uint32_t kLeafPowerManagement = 0x80000007;
inline constexpr std::uint32_t kLeafAddressSizes = 0x80000008;  // and the core count
inline constexpr std::uint32_t kLeafGigaPageTlb = 0x80000019;
inline constexpr std::uint32_t kLeafCacheTopology = 0x8000001D;
inline constexpr std::uint32_t kLeafProcessorIds = 0x8000001E;
inline constexpr std::uint32_t kLeafPlatformQos = 0x80000020;
inline constexpr std::uint32_t kLeafExtendedFeatures2 = 0x80000021;
inline constexpr std::uint32_t kLeafExtendedTopologyAmd = 0x80000026;

// ---- Other makers' ranges ----------------------------------------------------------------

inline constexpr std::uint32_t kLeafTransmetaBase = 0x80860000;
inline constexpr std::uint32_t kLeafCentaurBase = 0xC0000000;
// Two leaves above the extended range that some early processors answer.
inline constexpr std::uint32_t kLeafHighExtendedBase = 0x8FFFFFFE;

// ---- Bits that tell which leaves hold an answer -------------------------------------------

inline constexpr unsigned kHypervisorBit = 31;          // of leaf 1 ECX: leaves 0x40000000 on
inline constexpr unsigned kTopologyExtensionsBit = 22;  // of 0x80000001 ECX: 0x8000001D, 0x8000001E

// The first leaf of a range is its leaf number under this mask.
inline constexpr std::uint32_t kLeafRangeMask = 0xFFFF0000;
// The leaves a range holds beyond its first leaf, at most.
inline constexpr std::uint32_t kLeafRangeSpan = 0xFF;

// The place of an extended leaf in a record that holds the extended range from its first leaf.
constexpr std::size_t ExtendedIndex(std::uint32_t leaf) {
  return leaf - kLeafExtendedBase;
}

// ---- Leaves that only the field table names ---------------------------------------------

inline constexpr std::uint32_t kLeafSerialNumber = 0x00000003;
inline constexpr std::uint32_t kLeafMonitorMwait = 0x00000005;
inline constexpr std::uint32_t kLeafDirectCacheAccess = 0x00000009;
inline constexpr std::uint32_t kLeafPerfMonitoring = 0x0000000A;
inline constexpr std::uint32_t kLeafKeyLocker = 0x00000019;
inline constexpr std::uint32_t kLeafLastBranchRecords = 0x0000001C;
inline constexpr std::uint32_t kLeafTileInformation = 0x0000001E;

inline constexpr std::uint32_t kLeafHypervisorInterface = 0x40000001;
inline constexpr std::uint32_t kLeafHypervisorVersion = 0x40000002;
inline constexpr std::uint32_t kLeafHypervisorFeatures = 0x40000003;
inline constexpr std::uint32_t kLeafHypervisorRecommendations = 0x40000004;
inline constexpr std::uint32_t kLeafHypervisorLimits = 0x40000005;
inline constexpr std::uint32_t kLeafHypervisorHardware = 0x40000006;
inline constexpr std::uint32_t kLeafHypervisorNestedFeatures = 0x4000000A;

inline constexpr std::uint32_t kLeafSecureVirtualMachine = 0x8000000A;
inline constexpr std::uint32_t kLeafPerformanceHints = 0x8000001A;
inline constexpr std::uint32_t kLeafInstructionSampling = 0x8000001B;
inline constexpr std::uint32_t kLeafLightweightProfiling = 0x8000001C;
inline constexpr std::uint32_t kLeafMemoryEncryption = 0x8000001F;
inline constexpr std::uint32_t kLeafPerfMonitoringV2 = 0x80000022;
inline constexpr std::uint32_t kLeafMultiKeyEncryption = 0x80000023;

inline constexpr std::uint32_t kLeafTransmetaVersion = 0x80860001;
inline constexpr std::uint32_t kLeafTransmetaSoftware = 0x80860002;
inline constexpr std::uint32_t kLeafTransmetaInfo1 = 0x80860003;
inline constexpr std::uint32_t kLeafTransmetaInfo2 = 0x80860004;
inline constexpr std::uint32_t kLeafTransmetaInfo3 = 0x80860005;
inline constexpr std::uint32_t kLeafTransmetaInfo4 = 0x80860006;
inline constexpr std::uint32_t kLeafTransmetaState = 0x80860007;

inline constexpr std::uint32_t kLeafCentaurFeatures = 0xC0000001;
