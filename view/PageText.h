// What the window's pages show for one processor, worked out from its records
// without any window. The window fills its controls from these texts and the text report
// prints them. Texts are single-byte Windows-1252, like the records they come from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/ProcessorRecords.h"
#include "engine/store/CommonTypes.h"

// A value field with its caption: shown with Text, or disabled (greyed, keeping whatever it
// showed before).
struct tShownField {
  std::string Text;
  bool Enabled = false;
};

// "CPU #1" for the first processor.
std::string ProcessorName(std::size_t number);

// ---- Processor page -------------------------------------------------------------------

struct tFeatureLabel {
  std::string_view Caption;
  bool Enabled = false;
};

// The power feature label: "Power Now", "Speed Step" or "Cool'n'Quiet" at its left edge, or
// disabled with caption and place as they were.
struct tPowerLabel {
  std::string_view Caption;
  int Left = 0;
  bool Enabled = false;
};

struct tProcessorPageText {
  tShownField CpuName;
  tShownField VendorString;
  tShownField Rating;
  tShownField CodeName;
  tShownField Platform;
  tShownField ExtName;
  tShownField Family;
  tShownField Model;
  tShownField Stepping;
  tShownField ExtFamily;
  tShownField ExtModel;
  tShownField ExtStepping;
  tShownField TechProcess;
  tShownField TranQuantity;
  tShownField BrandID;
  tShownField DieSize;
  tShownField APICID;
  std::string_view LogoFile;  // in the "Logo" folder beside the program
  // MMX, Ext. MMX, 3DNow!, 3DNow!+, SSE, SSE2, SSE3, HTT, IA64, AA64 or EM64T, NX, MP.
  std::array<tFeatureLabel, 12> Features;
  tPowerLabel Power;
  // The extensions of today's processors: SSSE3, SSE4.1, SSE4.2, AVX, AVX2, AVX-512F, AES, SHA.
  std::array<tFeatureLabel, 8> Extensions;
  tShownField Level1Data;
  std::string_view Level1InstrCaption;  // "Level 1 Instructions" or "Level 1 Trace"
  tShownField Level1Instr;
  tShownField Level2;
  tShownField Level3;
};

tProcessorPageText ProcessorPageText(const tProcessorRecords& records, unsigned slot);

// The logo file of a logo key; "No_Logo.PNG" for a key without a picture.
std::string_view LogoFileName(std::uint16_t key);

struct tClocksText {
  tShownField Core;
  tShownField Multiplier;
  tShownField Bus;
  tShownField BusSpeed;
  // The bus caption reads "HTT" for AMD family 15; otherwise it is left as it was ("FSB").
  bool BusCaptionHtt = false;
};

// `decimalSeparator` is the user's; values of exactly 0 are shown as unavailable. The core
// clock is the effective clock where the driver's APERF and MPERF measured it: the time-stamp
// counter runs at a fixed rate on today's processors, whatever the core does. The effective
// clocks of the other sources are shown apart (RunningClockText).
tClocksText ClocksText(const tClocks& clocks, const tEffectiveClock& effective, tVendor vendor,
                       std::uint8_t family, char decimalSeparator);

// ---- Feature Flags page ---------------------------------------------------------------

struct tFlagView {
  std::string_view Button;  // the caption of its button
  std::string_view Group;   // the caption of the group box
  std::size_t Register;     // in kFeatureRegisters: the names of its bits
  // The four views of the buttons show the feature decoder's record of their register; the
  // others (nullptr) the register as the processor reports it.
  tFeatureBits tFeaturesFlags::*Bits;
};

// Views 1 to 4 have buttons: Standard (1), Standard (2), Extended (1), Extended (2). Views 5
// to 14 are the registers defined since: leaf 7 (sub-leaves 0 to 2), 0xD.1, 0x80000007 EDX,
// 0x80000008 EBX and 0x80000021 EAX. Index 0 is view 1.
inline constexpr std::size_t kFlagViewCount = 14;
inline constexpr std::size_t kButtonFlagViews = 4;
extern const std::array<tFlagView, kFlagViewCount> kFlagViews;

// How a view is named where its button caption alone does not say which register it shows:
// "Structured (1) (7.0 EBX)"; the button caption for the four views of the buttons.
std::string FlagViewName(const tFlagView& view);
// The caption of `bit` (0 to 31) in a view.
std::string_view FlagCaption(const tFlagView& view, unsigned bit);

struct tFlagBits {
  std::array<bool, 32> Bits{};
  // The register is there to show: the feature decoder's Valid flag for the four views of the
  // buttons, whether the processor reports the register for the others.
  bool Valid = false;
};
tFlagBits FlagViewBits(const tProcessorRecords& records, unsigned slot, const tFlagView& view);

// ---- Topology page -------------------------------------------------------------------

struct tTopologyPageText {
  // The machine, counted over the identified processors.
  tShownField Packages;
  tShownField Dies;
  tShownField Cores;
  tShownField Threads;
  // "8, 16 threads"; disabled where no processor says its kind.
  tShownField PerformanceCores;
  tShownField EfficiencyCores;
  tShownField Hypervisor;
  // The processor in the slot.
  tShownField X2ApicId;
  tShownField CoreType;  // "Performance", "Efficiency"; disabled where not said
  tShownField Package;
  tShownField Die;
  tShownField Module;
  tShownField Core;
  tShownField Thread;
  tShownField PackageThreads;  // as its leaves report them
  tShownField PackageCores;
  tShownField Source;    // the leaves its place comes from
  tShownField X86Level;  // "x86-64-v3"; disabled for a processor without long mode
  // The listing file it was read from where processors of more than one listing are shown;
  // "" otherwise. As it was named (the command line's bytes), not Windows-1252.
  std::string Listing;
  // The clocks it reports of itself, in MHz; disabled where not reported.
  tShownField BaseClock;
  tShownField MaxClock;
  tShownField BusClock;
  tShownField TscClock;
};

// The machine is counted over the first `identified` slots. `probedHypervisor` is what the
// virtual-machine probes found ("" for nothing, or where they were not run).
tTopologyPageText TopologyPageText(const tProcessorRecords& records, std::size_t identified,
                                   unsigned slot, std::string_view probedHypervisor);

// The listing file the processor of `slot` was read from, where the first `identified` slots
// come from more than one listing; "" otherwise (one listing, or this machine).
std::string ListingOf(const tProcessorRecords& records, std::size_t identified, unsigned slot);

// "Performance" or "Efficiency" for a kind of core; "" for none.
std::string_view CoreTypeCaption(tCoreType type);
// "P-core" or "E-core"; "" for none.
std::string_view CoreTypeShort(tCoreType type);

// ---- Cache page -----------------------------------------------------------------------

// "off", "direct map", "N-way", "fully" (255); "" for a count above 255.
std::string AssocToStr(std::uint16_t code);

struct tCacheRow {
  std::string_view Caption;
  std::string Value;
};

struct tCacheBox {
  bool Visible = false;
  std::string Caption;
  std::array<tCacheRow, 4> Rows;  // boxes 3 to 6 use the first two
};

// The captions of the six boxes of the Cache page at level 1, 2 or 3 ("" for a box the level
// does not show); the instruction side is named "Trace" where the level-1 cache is a trace
// cache.
std::array<std::string, 6> CacheBoxCaptions(int level, bool traceCache);

// Level 1, 2 or 3: the six boxes of the Cache page.
std::array<tCacheBox, 6> CacheLevelText(const tProcessorRecords& records, unsigned slot, int level);

// ---- Management page ------------------------------------------------------------------

struct tPowerRow {
  std::string_view Caption;
  std::uint8_t tEPM::*Flag;
};

// In page order: the left column, then the right column.
extern const std::array<tPowerRow, 6> kPowerRows;
