// The captions that the window's pages and the text report both show, each written once and
// grouped by page. The window labels its controls with them and the report heads its sections
// and lines with them. Texts are single-byte Windows-1252, like the page texts.
//
// Where the window's label has less room than the report's line, the two forms of a caption
// are kept side by side (tTwoFormCaption): the window's short one and the report's full one.
// The captions of the Feature Flags views and of the Management page's rows are rows of
// kFlagViews and kPowerRows (view/PageText.h).
#pragma once

#include <array>
#include <string_view>

struct tTwoFormCaption {
  std::string_view Window;
  std::string_view Report;
};

// A processor is "CPU #" and its number from 1 (ProcessorName): in the window's selector, on
// the Topology page and over its section of the text report.
inline constexpr std::string_view kProcessorNumber = "CPU #";

// The window's pages (its tabs), which the text report's sections are headed with.
namespace page_caption {
inline constexpr std::string_view kProcessor = "Processor";
inline constexpr std::string_view kFeatureFlags = "Feature Flags";
inline constexpr std::string_view kCache = "Cache";
inline constexpr std::string_view kManagement = "Management";
inline constexpr std::string_view kTopology = "Topology";
}  // namespace page_caption

// The Processor page: its groups and the fields of its Processor and Cache groups.
namespace processor_caption {
inline constexpr std::string_view kFeaturesGroup = "Features";
inline constexpr std::string_view kClocksGroup = "Clocks";

inline constexpr std::string_view kCpuName = "CPU Name";
inline constexpr std::string_view kVendorString = "Vendor String";
inline constexpr std::string_view kRating = "Rating";
inline constexpr std::string_view kCodeName = "Core CodeName";
inline constexpr std::string_view kPlatform = "Platform";
inline constexpr std::string_view kExtName = "Extended Name";
inline constexpr std::string_view kFamily = "Family";
inline constexpr std::string_view kModel = "Model";
inline constexpr std::string_view kStepping = "Stepping";
inline constexpr std::string_view kExtFamily = "Ext. Family";
inline constexpr std::string_view kExtModel = "Ext. Model";
inline constexpr std::string_view kExtStepping = "Ext. Stepping";
inline constexpr std::string_view kTechProcess = "Tech. Process";
inline constexpr std::string_view kTranQuantity = "Trans. Quantity";
inline constexpr std::string_view kBrandID = "Brand ID";
inline constexpr std::string_view kDieSize = "Die Size";
inline constexpr std::string_view kAPICID = "APIC ID";

inline constexpr std::string_view kLevel1Data = "Level 1 Data";
// The second row names the level-1 instruction cache, or the trace cache where there is one.
inline constexpr std::string_view kLevel1Instructions = "Level 1 Instructions";
inline constexpr std::string_view kLevel1Trace = "Level 1 Trace";
inline constexpr std::string_view kLevel2 = "Level 2";
inline constexpr std::string_view kLevel3 = "Level 3";
}  // namespace processor_caption

// The labels of the Features group, in the order of tProcessorPageText::Features and
// Extensions, and the captions the power label takes.
namespace feature_caption {
inline constexpr std::string_view kMMX = "MMX";
inline constexpr std::string_view kExtMMX = "Ext. MMX";
inline constexpr std::string_view kTDNow = "3DNow!";
inline constexpr std::string_view kTDNowPlus = "3DNow!+";
inline constexpr std::string_view kSSE = "SSE";
inline constexpr std::string_view kSSE2 = "SSE2";
inline constexpr std::string_view kSSE3 = "SSE3";
inline constexpr std::string_view kHTT = "HTT";
inline constexpr std::string_view kIA64 = "IA64";
// The 64-bit label: "AA64" on amd processors, as the form has it, "EM64T" on the others.
inline constexpr std::string_view kAA64 = "AA64";
inline constexpr std::string_view kEM64T = "EM64T";
inline constexpr std::string_view kNX = "NX";
inline constexpr std::string_view kMP = "MP";

inline constexpr std::string_view kSSSE3 = "SSSE3";
inline constexpr std::string_view kSSE41 = "SSE4.1";
inline constexpr std::string_view kSSE42 = "SSE4.2";
inline constexpr std::string_view kAVX = "AVX";
inline constexpr std::string_view kAVX2 = "AVX2";
inline constexpr std::string_view kAVX512F = "AVX-512F";
inline constexpr std::string_view kAES = "AES";
inline constexpr std::string_view kSHA = "SHA";

// The form shows the first.
inline constexpr std::string_view kPowerNow = "Power Now";
inline constexpr std::string_view kSpeedStep = "Speed Step";
inline constexpr std::string_view kCoolnQuiet = "Cool'n'Quiet";
}  // namespace feature_caption

// The Clocks group of the Processor page.
namespace clock_caption {
inline constexpr std::string_view kCore = "Core";
inline constexpr std::string_view kMultiplier = "Multiplier";
// The bus row: "FSB" as the form has it, "HTT" on AMD's family 15.
inline constexpr std::string_view kFSB = "FSB";
inline constexpr std::string_view kHTT = "HTT";
inline constexpr std::string_view kBusSpeed = "Bus Speed";
}  // namespace clock_caption

// The Cache page: a box is named by its level ("L1") and what it holds; its rows are captioned
// with what they measure.
namespace cache_caption {
// A box's caption is the words of its level, its side and what it is: "L1 Data Cache",
// "L1 Instruction TLB (2Mb pages)", "L2 Cache".
inline constexpr std::array<std::string_view, 3> kLevels{"L1", "L2", "L3"};
inline constexpr std::string_view kData = "Data";
inline constexpr std::string_view kInstruction = "Instruction";
inline constexpr std::string_view kTrace = "Trace";  // the instruction side of a trace cache
inline constexpr std::string_view kCache = "Cache";
inline constexpr std::string_view kTlb4K = "TLB (4Kb pages)";
inline constexpr std::string_view kTlb2M = "TLB (2Mb pages)";

inline constexpr std::string_view kSize = "Size";
inline constexpr std::string_view kAssociativity = "Associativity";
inline constexpr std::string_view kLineSize = "Line Size";
inline constexpr std::string_view kLinesPerTag = "Lines per Tag";
inline constexpr std::string_view kSectors = "Sectors";
inline constexpr std::string_view kEntries = "Entries";
}  // namespace cache_caption

// The value fields of the Feature Flags and Management pages, and the report's lines of the
// Management page.
namespace flag_caption {
inline constexpr std::string_view kYes = "Yes";
inline constexpr std::string_view kNo = "No";
}  // namespace flag_caption

// The Topology page: the machine, the selected processor and the clocks it reports.
namespace topology_caption {
inline constexpr std::string_view kPackages = "Packages";
inline constexpr std::string_view kDies = "Dies";
inline constexpr std::string_view kCores = "Cores";
inline constexpr std::string_view kThreads = "Threads";
inline constexpr tTwoFormCaption kPerformanceCores{"Performance", "Performance Cores"};
inline constexpr tTwoFormCaption kEfficiencyCores{"Efficiency", "Efficiency Cores"};
inline constexpr std::string_view kHypervisor = "Hypervisor";

inline constexpr std::string_view kX2ApicId = "x2APIC ID";
inline constexpr std::string_view kCoreType = "Core Type";
inline constexpr std::string_view kPackage = "Package";
inline constexpr std::string_view kDie = "Die";
inline constexpr std::string_view kModule = "Module";
inline constexpr std::string_view kCore = "Core";
inline constexpr std::string_view kThread = "Thread";
inline constexpr tTwoFormCaption kPackageThreads{"Pkg. Threads", "Package Threads"};
inline constexpr tTwoFormCaption kPackageCores{"Pkg. Cores", "Package Cores"};
inline constexpr std::string_view kSource = "Source";
inline constexpr std::string_view kX86Level = "x86-64 Level";
inline constexpr std::string_view kListing = "Listing";

// In the window they stand in the group "Reported Clocks", which says what they are.
inline constexpr tTwoFormCaption kBaseClock{"Base", "Base Clock"};
inline constexpr tTwoFormCaption kMaxClock{"Maximum", "Maximum Clock"};
inline constexpr tTwoFormCaption kBusClock{"Bus", "Bus Clock"};
inline constexpr std::string_view kTscClock = "TSC Rate";
}  // namespace topology_caption

// Each machine at a glance, on the Topology page and at the top of the text report; its cache
// rows take the Processor page's captions.
namespace summary_caption {
inline constexpr std::string_view kMachine = "Machine";
inline constexpr std::string_view kCores = "Cores";
inline constexpr std::string_view kLevel4 = "Level 4";
inline constexpr std::string_view kSignature = "Signature";
inline constexpr std::string_view kMicroarchitecture = "Micro-architecture";
inline constexpr std::string_view kProcess = "Process";
inline constexpr std::string_view kDriver = "Driver";
}  // namespace summary_caption

// What the window's title and the report's hardware line say when the driver does not load;
// the title appends it after " - ".
inline constexpr std::string_view kDriverNotLoaded = "Couldn't Load Driver";

// The Management page's Running Clock and Sensors groups and the text report's sections.
namespace running_caption {
inline constexpr std::string_view kGroup = "Running Clock";
inline constexpr std::string_view kEffective = "Effective";
inline constexpr std::string_view kDerivedMultiplier = "Ratio (derived)";
inline constexpr std::string_view kBase = "Base";
inline constexpr std::string_view kMax = "Max";
inline constexpr std::string_view kMin = "Min";
inline constexpr std::string_view kSensors = "Sensors";
}  // namespace running_caption
