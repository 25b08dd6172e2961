// The field table and its decoder: the table's own consistency, and the fields of real
// listings, each expected value worked out by hand from the register quoted beside it and the
// layout the vendor's manual gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <variant>

#include "engine/decode/FieldDecoder.h"
#include "engine/decode/FieldTable.h"
#include "engine/listings/Listings.h"
#include "engine/store/Leaves.h"
#include "tests/support/EngineFixtures.h"

namespace {

std::uint32_t Mask(const tFieldRow& row) {
  const std::uint64_t upper = (std::uint64_t{1} << (row.Hi + 1)) - 1;
  return static_cast<std::uint32_t>(upper & ~((std::uint64_t{1} << row.Lo) - 1));
}

TEST(FieldTable, NoTwoFieldsOfOneRegisterOverlap) {
  const auto rows = FieldRows();
  for (std::size_t a = 0; a < rows.size(); ++a) {
    for (std::size_t b = a + 1; b < rows.size() && rows[b].Leaf == rows[a].Leaf; ++b) {
      const tFieldRow& x = rows[a];
      const tFieldRow& y = rows[b];
      const bool sameSubLeaf = x.SubFirst <= y.SubLast && y.SubFirst <= x.SubLast;
      const bool sameVendor = (x.Vendors & y.Vendors) != 0;
      if (x.Register != y.Register || !sameSubLeaf || !sameVendor) continue;
      EXPECT_EQ(Mask(x) & Mask(y), 0u) << std::hex << x.Leaf << " " << x.Name << " and " << y.Name;
    }
  }
}

TEST(FieldTable, EveryBitRangeLiesWithinTheRegister) {
  for (const tFieldRow& row : FieldRows()) {
    EXPECT_LE(row.Hi, 31) << row.Name;
    EXPECT_LE(row.Lo, row.Hi) << row.Name;
    EXPECT_LE(row.SubFirst, row.SubLast) << row.Name;
    if (row.Kind == tFieldKind::Flag) {
      EXPECT_EQ(row.Hi, row.Lo) << row.Name;
    }
    if (row.Kind == tFieldKind::Enumeration) {
      EXPECT_FALSE(row.Values.empty()) << row.Name;
    }
    if (row.Kind == tFieldKind::Text) {
      EXPECT_EQ(row.Hi - row.Lo, 31) << row.Name;
    }
    EXPECT_NE(row.Vendors, 0) << row.Name;
  }
}

TEST(FieldTable, EveryFieldHasATitledLeafWithASource) {
  for (const tFieldRow& row : FieldRows()) {
    const tLeafTitle* title = LeafTitleOf(row.Leaf, row.Vendors);
    ASSERT_NE(title, nullptr) << std::hex << row.Leaf << " " << row.Name;
    EXPECT_FALSE(title->Source.empty()) << row.Name;
    EXPECT_FALSE(title->Title.empty()) << row.Name;
  }
  for (const tLeafTitle& title : LeafTitles())
    EXPECT_FALSE(FieldRowsOf(title.Leaf).empty()) << std::hex << title.Leaf;
}

TEST(FieldTable, NamesAreLowerCaseWithUnderscoresAndMeaningsFitALine) {
  for (const tFieldRow& row : FieldRows()) {
    ASSERT_FALSE(row.Name.empty());
    for (const char c : row.Name) {
      const bool ok = std::islower(static_cast<unsigned char>(c)) ||
                      std::isdigit(static_cast<unsigned char>(c)) || c == '_';
      EXPECT_TRUE(ok) << row.Name;
    }
    EXPECT_FALSE(row.Meaning.empty()) << row.Name;
    EXPECT_LE(row.Meaning.size(), 44u) << row.Name;
  }
}

// ---- Real listings ---------------------------------------------------------------------

std::vector<tCpuidStore> Listing(const std::string& file) {
  std::ifstream in(std::string(LUMARIAN_FIXTURES) + "/full/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  tListingRead read = ReadListing(text.str());
  if (!std::holds_alternative<std::vector<tCpuidStore>>(read)) return {};
  return std::get<std::vector<tCpuidStore>>(std::move(read));
}

std::optional<tFieldValue> Find(const std::vector<tFieldValue>& fields, std::uint32_t leaf,
                                std::uint32_t sub, std::string_view name) {
  for (const tFieldValue& f : fields) {
    if (f.Leaf == leaf && f.SubLeaf == sub && FieldName(f) == name) return f;
  }
  return std::nullopt;
}

constexpr const char* kRaptor = "il-GenuineIntel00B0671_RaptorLake_12_CPUID.txt";
constexpr const char* kStrix = "il-AuthenticAMD0B20F40_K20_StrixPoint_06_CPUID.txt";
constexpr const char* kComet = "il-GenuineIntel00A0654_CometLake_CPUID.txt";
constexpr const char* kEfficeon = "il-GenuineTMx860000F24_Efficeon_CPUID.txt";
constexpr const char* kIsaiah = "il-CentaurHauls00006F8_CNB_Isaiah_CPUID.txt";
constexpr const char* kKabyG = "il-GenuineIntel00906E9_KabylakeG_CPUID.txt";
constexpr const char* kSpreadtrum = "il-GenuineIntel007065A_Spreadtrum_CPUID.txt";
constexpr const char* kHaswellEp = "il-GenuineIntel00306F2_HaswellEP_CPUID.txt";
constexpr const char* kArrow = "il-GenuineIntel00C0662_ArrowLake_07_CPUID.txt";
constexpr const char* kTanner = "il-GenuineIntel0000673_P3_Tanner_CPUID.txt";
constexpr const char* kBulldozer = "il-AuthenticAMD0600F01_K15_Bulldozer_CPUID.txt";

struct tExpectedField {
  const char* File;
  std::uint32_t Leaf, Sub;
  const char* Name;
  std::uint64_t Value;  // as shown: a count stored less one plus one
};

// Processor 0 of each listing. Beside each row: the register and the bits worked out by hand.
const tExpectedField kExpected[] = {
    // Raptor Lake, Intel SDM.
    {kRaptor, 0x0, 0, "max_std_leaf", 0x20},               // EAX 00000020
    {kRaptor, 0x0, 0, "vendor_1", 0x756E6547},             // EBX "Genu"
    {kRaptor, 0x1, 0, "stepping", 1},                      // EAX 000B0671 3:0
    {kRaptor, 0x1, 0, "model", 7},                         // 7:4
    {kRaptor, 0x1, 0, "family", 6},                        // 11:8
    {kRaptor, 0x1, 0, "extended_model", 0xB},              // 19:16
    {kRaptor, 0x1, 0, "clflush_size", 8},                  // EBX 00800800 15:8
    {kRaptor, 0x1, 0, "max_logical_ids", 128},             // 23:16 = 0x80
    {kRaptor, 0x1, 0, "avx", 1},                           // ECX 7FFAFBFF bit 28
    {kRaptor, 0x1, 0, "hypervisor", 0},                    // ECX bit 31
    {kRaptor, 0x4, 0, "cache_type", 1},                    // EAX FC004121 4:0: data
    {kRaptor, 0x4, 0, "cache_level", 1},                   // 7:5
    {kRaptor, 0x4, 0, "cache_sharing_ids", 2},             // 25:14 = 1, plus one
    {kRaptor, 0x4, 0, "package_core_ids", 64},             // 31:26 = 0x3F, plus one
    {kRaptor, 0x4, 0, "cache_ways", 12},                   // EBX 02C0003F 31:22 = 0xB, plus one
    {kRaptor, 0x4, 0, "cache_line_size", 64},              // 11:0 = 0x3F, plus one
    {kRaptor, 0x4, 0, "cache_sets", 64},                   // ECX 0000003F, plus one
    {kRaptor, 0x4, 3, "cache_level", 3},                   // EAX FC1FC163 7:5
    {kRaptor, 0x4, 3, "cache_complex_index", 1},           // EDX 00000004 bit 2
    {kRaptor, 0x5, 0, "monitor_line_min", 64},             // EAX 00000040
    {kRaptor, 0x5, 0, "mwait_int_break", 1},               // ECX 00000003 bit 1
    {kRaptor, 0x5, 0, "mwait_c1_states", 2},               // EDX 10102020 7:4
    {kRaptor, 0x5, 0, "mwait_c7_states", 1},               // 31:28
    {kRaptor, 0x6, 0, "hwp_epp", 1},                       // EAX 00DF8FF7 bit 10
    {kRaptor, 0x6, 0, "hdc", 0},                           // bit 13
    {kRaptor, 0x6, 0, "thread_director", 1},               // bit 23
    {kRaptor, 0x6, 0, "thermal_thresholds", 2},            // EBX 00000002 3:0
    {kRaptor, 0x6, 0, "thread_director_classes", 4},       // ECX 00000409 15:8
    {kRaptor, 0x6, 0, "hfi_table_pages", 1},               // EDX 00000003 11:8 = 0, plus one
    {kRaptor, 0x7, 0, "max_subleaf_7", 2},                 // EAX 00000002
    {kRaptor, 0x7, 1, "avx_vnni", 1},                      // 7.1 EAX 00400810 bit 4
    {kRaptor, 0xA, 0, "pmu_version", 5},                   // EAX 07300605 7:0
    {kRaptor, 0xA, 0, "pmu_gp_counters", 6},               // 15:8
    {kRaptor, 0xA, 0, "pmu_gp_width", 48},                 // 23:16 = 0x30
    {kRaptor, 0xA, 0, "pmu_fixed_counters", 3},            // EDX 00008603 4:0
    {kRaptor, 0xA, 0, "pmu_fixed_width", 48},              // 12:5 = 0x30
    {kRaptor, 0xA, 0, "pmu_anythread_deprecated", 1},      // bit 15
    {kRaptor, 0xB, 1, "x2apic_shift", 7},                  // EAX 00000007
    {kRaptor, 0xB, 1, "level_processors", 20},             // EBX 00000014
    {kRaptor, 0xB, 1, "level_type", 2},                    // ECX 00000201 15:8: core
    {kRaptor, 0xD, 0, "xcr0_pkru", 1},                     // EAX 00000207 bit 9
    {kRaptor, 0xD, 0, "xsave_size_max", 2696},             // ECX 00000A88
    {kRaptor, 0xD, 1, "xss_lbr", 1},                       // ECX 00019900 bit 15
    {kRaptor, 0xD, 1, "xss_hdc", 0},                       // bit 13
    {kRaptor, 0xD, 2, "state_size", 256},                  // EAX 00000100
    {kRaptor, 0xD, 2, "state_offset", 576},                // EBX 00000240
    {kRaptor, 0xD, 11, "state_supervisor", 1},             // ECX 00000001 bit 0
    {kRaptor, 0x14, 0, "pt_ptwrite", 1},                   // EBX 0000005F bit 4
    {kRaptor, 0x14, 0, "pt_power_event", 0},               // bit 5
    {kRaptor, 0x14, 1, "pt_address_ranges", 2},            // EAX 02490002 2:0
    {kRaptor, 0x14, 1, "pt_mtc_periods", 0x249},           // 31:16
    {kRaptor, 0x15, 0, "tsc_numerator", 182},              // EBX 000000B6
    {kRaptor, 0x15, 0, "crystal_hz", 38400000},            // ECX 0249F000
    {kRaptor, 0x16, 0, "max_mhz", 5300},                   // EBX 000014B4
    {kRaptor, 0x18, 0, "max_subleaf_18", 8},               // EAX 00000008
    {kRaptor, 0x18, 1, "tlb_ways", 8},                     // EBX 00080001 31:16
    {kRaptor, 0x18, 1, "tlb_type", 2},                     // EDX 00004022 4:0: instruction
    {kRaptor, 0x18, 1, "tlb_sharing_ids", 2},              // 25:14 = 1, plus one
    {kRaptor, 0x18, 3, "tlb_1g", 1},                       // EBX 0010000F bit 3
    {kRaptor, 0x18, 3, "tlb_fully_assoc", 1},              // EDX 00004125 bit 8
    {kRaptor, 0x19, 0, "kl_no_decrypt", 1},                // EAX 00000007 bit 2
    {kRaptor, 0x19, 0, "aeskle", 0},                       // EBX 00000014 bit 0
    {kRaptor, 0x19, 0, "wide_kl", 1},                      // bit 2
    {kRaptor, 0x1A, 0, "core_type", 0x40},                 // EAX 40000001 31:24: Core
    {kRaptor, 0x1A, 0, "native_model_id", 1},              // 23:0
    {kRaptor, 0x1B, 0, "pconfig_type", 1},                 // EAX 00000001
    {kRaptor, 0x1B, 0, "pconfig_target_1", 1},             // EBX 00000001: MKTME
    {kRaptor, 0x1C, 0, "lbr_depths", 0xB},                 // EAX 4000000B 7:0
    {kRaptor, 0x1C, 0, "lbr_deep_c_reset", 1},             // bit 30
    {kRaptor, 0x1C, 0, "lbr_timed", 1},                    // ECX 00000007 bit 1
    {kRaptor, 0x1F, 1, "level_processors", 20},            // EBX 00000014
    {kRaptor, 0x20, 0, "hreset_thread_director", 1},       // EBX 00000001
    {kRaptor, 0x80000000, 0, "max_ext_leaf", 0x80000008},  // EAX
    {kRaptor, 0x80000001, 0, "abm", 1},                    // ECX 00000121 bit 5
    {kRaptor, 0x80000001, 0, "lm", 1},                     // EDX 2C100000 bit 29
    {kRaptor, 0x80000006, 0, "l2_size_kb", 2048},          // ECX 08007040 31:16
    {kRaptor, 0x80000006, 0, "l2_assoc", 7},               // 15:12
    {kRaptor, 0x80000007, 0, "constant_tsc", 1},           // EDX 00000100 bit 8
    {kRaptor, 0x80000008, 0, "phys_addr_bits", 46},        // EAX 0000302E 7:0
    {kRaptor, 0x80000008, 0, "linear_addr_bits", 48},      // 15:8
    // Strix Point, AMD APM vol. 3 and the family 1Ah reference.
    {kStrix, 0x6, 0, "arat", 1},                             // EAX 00000004 bit 2
    {kStrix, 0x6, 0, "aperfmperf", 1},                       // ECX 00000001 bit 0
    {kStrix, 0xB, 1, "level_processors", 24},                // EBX 00000018
    {kStrix, 0xF, 0, "rmid_count_all", 4096},                // EBX 00000FFF, plus one
    {kStrix, 0xF, 1, "cqm_scale", 64},                       // EBX 00000040
    {kStrix, 0xF, 1, "cqm_mbm_local", 1},                    // EDX 00000007 bit 2
    {kStrix, 0x10, 0, "cat_l3", 1},                          // EBX 00000002 bit 1
    {kStrix, 0x10, 1, "cat_cbm_length", 16},                 // EAX 0000000F, plus one
    {kStrix, 0x10, 1, "cdp_l3", 1},                          // ECX 00000004 bit 2
    {kStrix, 0x10, 1, "cat_cos_count", 16},                  // EDX 0000000F, plus one
    {kStrix, 0x80000001, 0, "ext_family", 0xF},              // EAX 00B20F40 11:8
    {kStrix, 0x80000001, 0, "ext_extended_family", 0xB},     // 27:20
    {kStrix, 0x80000001, 0, "package_type", 1},              // EBX 10000000 31:28
    {kStrix, 0x80000005, 0, "l1d_size_kb", 48},              // ECX 300C0140 31:24
    {kStrix, 0x80000005, 0, "l1d_ways", 12},                 // 23:16
    {kStrix, 0x80000005, 0, "l1_dtlb_2m_entries", 96},       // EAX FF60FF40 23:16
    {kStrix, 0x80000006, 0, "l2_size_kb", 1024},             // ECX 04008140 31:16
    {kStrix, 0x80000006, 0, "l3_size_512kb", 32},            // EDX 00809140 31:18
    {kStrix, 0x80000006, 0, "l3_assoc", 9},                  // 15:12
    {kStrix, 0x80000007, 0, "smca", 1},                      // EBX 0000003B bit 3
    {kStrix, 0x80000007, 0, "hwa", 0},                       // bit 2
    {kStrix, 0x80000007, 0, "rapl", 1},                      // EDX 00006799 bit 14
    {kStrix, 0x80000008, 0, "package_threads", 24},          // ECX 00005017 7:0 = 0x17, plus one
    {kStrix, 0x80000008, 0, "apic_id_size", 5},              // 15:12
    {kStrix, 0x80000008, 0, "rdpru_max_ecx", 1},             // EDX 00010000 25:16
    {kStrix, 0x8000000A, 0, "svm_asids", 32768},             // EBX 00008000
    {kStrix, 0x8000000A, 0, "avic", 1},                      // EDX FEBFBDFF bit 13
    {kStrix, 0x8000000A, 0, "pausefilter", 1},               // bit 10
    {kStrix, 0x8000000A, 0, "tlbi_ctl", 0},                  // bit 24
    {kStrix, 0x80000019, 0, "l1_dtlb_1g_entries", 96},       // EAX F060F040 27:16
    {kStrix, 0x80000019, 0, "l2_dtlb_1g_entries", 32},       // EBX 40200000 27:16
    {kStrix, 0x8000001A, 0, "fp256", 1},                     // EAX 00000006 bit 2
    {kStrix, 0x8000001A, 0, "fp128", 0},                     // bit 0
    {kStrix, 0x8000001B, 0, "ibs_l3_miss_filter", 1},        // EAX 00081BFF bit 11
    {kStrix, 0x8000001B, 0, "ibs_op_data4", 0},              // bit 10
    {kStrix, 0x8000001D, 2, "cache_level", 2},               // EAX 00004143 7:5
    {kStrix, 0x8000001D, 2, "cache_ways", 16},               // EBX 03C0003F 31:22 = 0xF, plus one
    {kStrix, 0x8000001D, 2, "cache_sets", 1024},             // ECX 000003FF, plus one
    {kStrix, 0x8000001D, 2, "cache_inclusive", 1},           // EDX 00000002 bit 1
    {kStrix, 0x8000001E, 0, "threads_per_core", 2},          // EBX 00000100 15:8 = 1, plus one
    {kStrix, 0x8000001F, 0, "sme", 1},                       // EAX 00000001 bit 0
    {kStrix, 0x8000001F, 0, "c_bit_position", 51},           // EBX 000000B3 5:0
    {kStrix, 0x8000001F, 0, "phys_addr_reduction", 2},       // 11:6
    {kStrix, 0x80000020, 0, "smba", 1},                      // EBX 0000007E bit 2
    {kStrix, 0x80000020, 1, "bandwidth_length", 12},         // EAX 0000000C
    {kStrix, 0x80000020, 3, "bandwidth_event_types", 0x7F},  // ECX 0000007F 6:0
    {kStrix, 0x80000021, 0, "microcode_patch_size", 0x382},  // EBX 00080382 11:0
    {kStrix, 0x80000022, 0, "perfmon_v2", 1},                // EAX 00000007 bit 0
    {kStrix, 0x80000022, 0, "core_counters", 6},             // EBX 00102106 3:0
    {kStrix, 0x80000022, 0, "lbr_stack_size", 16},           // 9:4
    {kStrix, 0x80000022, 0, "df_counters", 8},               // 15:10
    {kStrix, 0x80000026, 0, "heterogeneous_cores", 1},       // EAX 60000001 bit 30
    {kStrix, 0x80000026, 0, "level_type", 1},                // ECX 00000100 15:8: core
    {kStrix, 0x80000026, 1, "x2apic_shift", 4},              // EAX C0000004 4:0
    {kStrix, 0x80000026, 3, "level_type", 4},                // ECX 00000403: socket
    // Comet Lake under Hyper-V's root partition, Microsoft TLFS.
    {kComet, 0x40000000, 0, "max_hv_leaf", 0x4000000B},   // EAX
    {kComet, 0x40000001, 0, "hv_interface", 0x31237648},  // EAX "Hv#1"
    {kComet, 0x40000002, 0, "hv_build", 18362},           // EAX 000047BA
    {kComet, 0x40000002, 0, "hv_major", 10},              // EBX 000A0000 31:16
    {kComet, 0x40000003, 0, "hv_reference_tsc", 1},       // EAX 00003FFF bit 9
    {kComet, 0x40000003, 0, "hv_cpu_management", 1},      // EBX 002BB9FF bit 12
    {kComet, 0x40000005, 0, "hv_max_lps", 512},           // EBX 00000200
    {kComet, 0x40000006, 0, "hv_hw_slat", 1},             // EAX 000200AF bit 3
    {kComet, 0x40000006, 0, "hv_hw_dma_remapping", 0},    // bit 4
    // Efficeon, Transmeta.
    {kEfficeon, 0x3, 0, "serial_low", 0x015B380A},          // EDX
    {kEfficeon, 0x80860000, 0, "tm_vendor_2", 0x74656D73},  // EDX "smet"
    {kEfficeon, 0x80860001, 0, "longrun", 1},               // EDX 0000142A bit 1
    {kEfficeon, 0x80860001, 0, "recovery", 0},              // bit 0
    {kEfficeon, 0x80860001, 0, "tm_nominal_mhz", 1000},     // ECX 000003E8
    {kEfficeon, 0x80860007, 0, "tm_current_mv", 1400},      // EBX 00000578
    // Isaiah, VIA.
    {kIsaiah, 0xA, 0, "pmu_gp_width", 40},                     // EAX 06280202 23:16
    {kIsaiah, 0xC0000000, 0, "max_centaur_leaf", 0xC0000004},  // EAX
    {kIsaiah, 0xC0000001, 0, "ace2", 1},                       // EDX 1EC33DCC bit 8
    {kIsaiah, 0xC0000001, 0, "ace2_en", 0},                    // bit 9
    {kIsaiah, 0xC0000001, 0, "pmm_en", 1},                     // bit 13
    // Older and rarer leaves.
    {kKabyG, 0x12, 0, "sgx1", 1},                          // EAX 00000001 bit 0
    {kKabyG, 0x12, 0, "sgx_max_enclave_64", 36},           // EDX 0000241F 15:8
    {kSpreadtrum, 0x17, 0, "max_subleaf_17", 3},           // EAX 00000003
    {kSpreadtrum, 0x17, 0, "soc_vendor_id", 1},            // EBX 00000001 15:0
    {kSpreadtrum, 0x17, 1, "soc_brand_a", 0x756E6547},     // EAX "Genu"
    {kHaswellEp, 0x9, 0, "dca_cap", 1},                    // EAX 00000001
    {kArrow, 0x23, 0, "pmu_ext_events", 1},                // EAX 0000000B bit 3
    {kArrow, 0x23, 1, "pmu_gp_counter_mask", 0x3FF},       // EAX 000003FF
    {kArrow, 0x23, 3, "pmu_arch_events", 0x1DFF},          // EAX 00001DFF
    {kTanner, 0x2, 0, "descriptor_1", 0x01},               // EAX 03020101 15:8
    {kTanner, 0x2, 0, "descriptor_12", 0x44},              // EDX 0C040844 7:0
    {kTanner, 0x3, 0, "serial_middle", 0x063F02B2},        // ECX
    {kBulldozer, 0x8000001C, 0, "lwp_int", 1},             // EDX 8000000F bit 31
    {kBulldozer, 0x8000001C, 0, "lwp_event_offset", 128},  // EBX 80032013 31:24
    {kBulldozer, 0xD, 0, "xcr0_high", 0x40000000},         // EDX: bit 62, lightweight profiling
};

TEST(FieldDecoding, RealListingsGiveTheManualsValues) {
  std::string last;
  std::vector<tFieldValue> fields;
  for (const tExpectedField& row : kExpected) {
    if (row.File != last) {
      const std::vector<tCpuidStore> processors = Listing(row.File);
      ASSERT_FALSE(processors.empty()) << row.File;
      fields = DecodeFields(processors[0]);
      last = row.File;
    }
    const std::optional<tFieldValue> found = Find(fields, row.Leaf, row.Sub, row.Name);
    ASSERT_TRUE(found) << row.File << " " << std::hex << row.Leaf << "." << row.Sub << " "
                       << row.Name;
    EXPECT_EQ(ShownValue(*found), row.Value) << row.File << " " << row.Name;
  }
}

TEST(FieldDecoding, FieldsOfOtherMakersAreLeftOut) {
  const auto intel = DecodeFields(Listing(kRaptor)[0]);
  EXPECT_FALSE(Find(intel, kLeafAddressSizes, 0, "package_threads"));       // AMD only
  EXPECT_FALSE(Find(intel, kLeafAddressSizes, 0, "guest_phys_addr_bits"));  // AMD only
  EXPECT_FALSE(Find(intel, kLeafL2CacheTlb, 0, "l2_lines_per_tag"));
  const auto amd = DecodeFields(Listing(kStrix)[0]);
  EXPECT_FALSE(Find(amd, kLeafCacheParameters, 0, "cache_type"));  // leaf 4 is Intel's
  EXPECT_FALSE(Find(amd, kLeafThermalPower, 0, "dtherm"));
  EXPECT_TRUE(Find(amd, kLeafL1CacheTlb, 0, "l1i_size_kb"));
  EXPECT_FALSE(Find(intel, kLeafL1CacheTlb, 0, "l1i_size_kb"));
}

std::set<std::uint32_t> SubLeavesOf(const std::vector<tFieldValue>& fields, std::uint32_t leaf) {
  std::set<std::uint32_t> subs;
  for (const tFieldValue& f : fields) {
    if (f.Leaf == leaf) subs.insert(f.SubLeaf);
  }
  return subs;
}

TEST(FieldDecoding, SubLeavesComeAsEachLeafEnumeratesThem) {
  const auto raptor = DecodeFields(Listing(kRaptor)[0]);
  // Leaf 4: four caches; sub-leaf 4 is the closing type 0 and describes nothing.
  EXPECT_EQ(SubLeavesOf(raptor, kLeafCacheParameters), (std::set<std::uint32_t>{0, 1, 2, 3}));
  // Leaf 0xD: 0, 1, then the bits of XCR0 (207: 2, 9) and of IA32_XSS (19900: 8, 11, 12, 15,
  // 16).
  EXPECT_EQ(SubLeavesOf(raptor, kLeafXsaveState),
            (std::set<std::uint32_t>{0, 1, 2, 8, 9, 11, 12, 15, 16}));
  // Leaf 0x18: sub-leaves 0 to 8, as EAX of sub-leaf 0 counts.
  EXPECT_EQ(SubLeavesOf(raptor, kLeafAddressTranslation).size(), 9u);
  // Leaf 0x23: sub-leaf 0's EAX 0000000B names 1 and 3; sub-leaf 2, though captured (and
  // holding a bit that would show), is not one the leaf describes.
  const auto arrow = DecodeFields(Listing(kArrow)[0]);
  EXPECT_EQ(SubLeavesOf(arrow, kLeafPerfMonitoringExt), (std::set<std::uint32_t>{0, 1, 3}));
  const tCpuidStore captured =
      StoreOf("GenuineIntel", kLeafPerfMonitoringExt,
              {{kLeafPerfMonitoringExt, 0, tCPUIDResult{0x0000000B, 3, 0, 0}},
               {kLeafPerfMonitoringExt, 1, tCPUIDResult{0x000003FF, 0xF, 0, 0}},
               {kLeafPerfMonitoringExt, 2, tCPUIDResult{1, 0, 0, 0}},
               {kLeafPerfMonitoringExt, 3, tCPUIDResult{0x00001DFF, 0, 0, 0}}});
  EXPECT_EQ(SubLeavesOf(DecodeFields(captured), kLeafPerfMonitoringExt),
            (std::set<std::uint32_t>{0, 1, 3}));
}

TEST(FieldDecoding, ASetReservedBitIsShownAsSuch) {
  // Leaf 1 EDX bit 10 is reserved; bit 0 is fpu.
  const tCpuidStore store =
      StoreOf("GenuineIntel", 1, {{kLeafFeatures, 0, tCPUIDResult{0x000906EA, 0, 0, 0x00000401}}});
  const auto fields = DecodeFields(store);
  const auto reserved = Find(fields, kLeafFeatures, 0, "reserved");
  ASSERT_TRUE(reserved);
  EXPECT_EQ(FieldBits(*reserved), "10");
  EXPECT_EQ(reserved->Register, tRegister::EDX);
  EXPECT_EQ(reserved->Raw, 1u);
  EXPECT_EQ(FieldMeaning(*reserved), "Reserved bit, set");
  EXPECT_EQ(ShownValue(*Find(fields, kLeafFeatures, 0, "fpu")), 1u);
  // A clear reserved bit is not news: bit 20 of EDX is not listed.
  std::size_t count = 0;
  for (const tFieldValue& f : fields)
    count += f.Row == nullptr ? 1 : 0;
  EXPECT_EQ(count, 1u);
}

TEST(FieldDecoding, HypervisorLeavesFollowTheSignatureOfTheirRange) {
  // "KVMKVMKVM\0\0\0" at 0x40000000, EAX 0x40000001; 0x40000001 EAX 01000009 is, by KVM's
  // documentation, bits 0 (clocksource), 3 (clocksource2) and 24 (stable).
  const tCpuidStore kvm = StoreOf(
      "GenuineIntel", 1,
      {{kLeafFeatures, 0, tCPUIDResult{0x000906EA, 0, 0x80000000, 0}},
       {kLeafHypervisorBase, 0, tCPUIDResult{0x40000001, 0x4B4D564B, 0x564B4D56, 0x0000004D}},
       {kLeafHypervisorInterface, 0, tCPUIDResult{0x01000009, 0, 0, 0}}});
  const auto fields = DecodeFields(kvm);
  EXPECT_EQ(ShownValue(*Find(fields, kLeafHypervisorInterface, 0, "kvm_clocksource2")), 1u);
  EXPECT_EQ(ShownValue(*Find(fields, kLeafHypervisorInterface, 0, "kvm_clocksource_stable")), 1u);
  EXPECT_EQ(ShownValue(*Find(fields, kLeafHypervisorInterface, 0, "kvm_steal_time")), 0u);
  EXPECT_FALSE(Find(fields, kLeafHypervisorInterface, 0, "hv_interface"));  // Hyper-V's
  // KVM behind its Hyper-V interface: "Linux KVM Hv" first, KVM's own leaves at 0x40000100.
  const tCpuidStore both = StoreOf(
      "AuthenticAMD", 1,
      {{kLeafFeatures, 0, tCPUIDResult{0x00A20F10, 0, 0x80000000, 0}},
       {kLeafHypervisorBase, 0, tCPUIDResult{0x40000001, 0x756E694C, 0x564B2078, 0x7648204D}},
       {kLeafHypervisorInterface, 0, tCPUIDResult{0x31237648, 0, 0, 0}},
       {kLeafHypervisorSecondBase, 0, tCPUIDResult{0x40000101, 0x4B4D564B, 0x564B4D56, 0x0000004D}},
       {kLeafHypervisorSecondBase + 1, 0, tCPUIDResult{0x00000020, 0, 0, 0}}});
  const auto twice = DecodeFields(both);
  EXPECT_EQ(ShownValue(*Find(twice, kLeafHypervisorInterface, 0, "hv_interface")), 0x31237648u);
  EXPECT_EQ(ShownValue(*Find(twice, kLeafHypervisorSecondBase + 1, 0, "kvm_steal_time")), 1u);
  // Bare metal answers 0x40000000 with its highest standard leaf: no hypervisor fields.
  const tCpuidStore bare =
      StoreOf("GenuineIntel", 1,
              {{kLeafFeatures, 0, tCPUIDResult{0x000906EA, 0, 0, 0}},
               {kLeafHypervisorBase, 0, tCPUIDResult{0x00000FA0, 0x00000640, 0x64, 0}}});
  for (const tFieldValue& f : DecodeFields(bare))
    EXPECT_LT(f.Leaf, kLeafHypervisorBase);
}

TEST(FieldDecoding, MeaningsNameTheValueOfAnEnumerationAndTheCharactersOfAText) {
  const auto raptor = DecodeFields(Listing(kRaptor)[0]);
  EXPECT_EQ(FieldMeaning(*Find(raptor, kLeafCacheParameters, 0, "cache_type")),
            "Cache type: data cache");
  EXPECT_EQ(FieldMeaning(*Find(raptor, kLeafStandardBase, 0, "vendor_2")),
            "Vendor string, characters 5-8: \"ineI\"");
  EXPECT_EQ(FieldValueText(*Find(raptor, kLeafCacheParameters, 0, "cache_ways")), "12");
  EXPECT_EQ(FieldBits(*Find(raptor, kLeafCacheParameters, 0, "cache_ways")), "31:22");
}

}  // namespace

namespace {

TEST(FieldDecoding, TheFeatureListKeepsItsNamesAndAddsTheTablesFlagsAfterThem) {
  const tCpuidStore store = Listing(kRaptor)[0];
  const tFeatureWords words = FeatureWordsOf(store);
  const std::vector<std::string_view> before = FeatureNames(words);
  const std::vector<std::string_view> after = FeatureNamesWithFields(words, DecodeFields(store));
  ASSERT_GT(after.size(), before.size());
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
  const std::vector<std::string_view> added(after.begin() + before.size(), after.end());
  // Leaf 6 EAX 00DF8FF7: bit 7 (hwp) set, bit 13 (hdc) clear; leaf 0x19 EBX bit 2 (wide_kl).
  const auto has = [&](std::string_view name) {
    return std::find(added.begin(), added.end(), name) != added.end();
  };
  EXPECT_TRUE(has("hwp"));
  EXPECT_TRUE(has("wide_kl"));
  EXPECT_FALSE(has("hdc"));
  EXPECT_FALSE(has("avx2"));  // already among the feature registers' names
  // Leaf order: leaf 6 before leaf 0x19.
  EXPECT_LT(std::find(added.begin(), added.end(), "hwp"),
            std::find(added.begin(), added.end(), "wide_kl"));
  EXPECT_EQ(std::set<std::string_view>(after.begin(), after.end()).size(), after.size());
}

}  // namespace
