// The names of the feature bits, one bit at a time, and the captions the Feature Flags page
// has always shown. The short names are those of the public lists (the Linux flag names,
// the kernel's CPUID database, the vendors' manuals); "-" marks a reserved bit or a bit of a
// value field.
#include "engine/decode/FeatureFlags.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tests/support/EngineFixtures.h"

namespace {

struct tRegisterNames {
  std::size_t Index;
  std::uint32_t Leaf;
  std::uint32_t SubLeaf;
  std::uint32_t tCPUIDResult::*Register;
  const char* Names;  // 32 names, bit 0 first
};

// 0x80000007 EDX bit 4 is "htc", since "tm" names leaf 1 EDX bit 29.
const tRegisterNames kExpected[] = {
    {kLeaf1Edx, 0x1, 0, &tCPUIDResult::EDX,
     "fpu vme de pse tsc msr pae mce cx8 apic - sep mtrr pge mca cmov pat pse36 pn clflush - dts "
     "acpi mmx fxsr sse sse2 ss ht tm ia64 pbe"},
    {kLeaf1Ecx, 0x1, 0, &tCPUIDResult::ECX,
     "pni pclmulqdq dtes64 monitor ds_cpl vmx smx est tm2 ssse3 cid sdbg fma cx16 xtpr pdcm - pcid "
     "dca sse4_1 sse4_2 x2apic movbe popcnt tsc_deadline_timer aes xsave osxsave avx f16c rdrand "
     "hypervisor"},
    {kLeaf7Ebx, 0x7, 0, &tCPUIDResult::EBX,
     "fsgsbase tsc_adjust sgx bmi1 hle avx2 fdp_excptn_only smep bmi2 erms invpcid rtm cqm "
     "zero_fcs_fds mpx rdt_a avx512f avx512dq rdseed adx smap avx512ifma - clflushopt clwb "
     "intel_pt avx512pf avx512er avx512cd sha_ni avx512bw avx512vl"},
    {kLeaf7Ecx, 0x7, 0, &tCPUIDResult::ECX,
     "prefetchwt1 avx512vbmi umip pku ospke waitpkg avx512_vbmi2 shstk gfni vaes vpclmulqdq "
     "avx512_vnni avx512_bitalg tme avx512_vpopcntdq - la57 - - - - - rdpid kl bus_lock_detect "
     "cldemote - movdiri movdir64b enqcmd sgx_lc pks"},
    {kLeaf7Edx, 0x7, 0, &tCPUIDResult::EDX,
     "- sgx_keys avx512_4vnniw avx512_4fmaps fsrm uintr - - avx512_vp2intersect srbds_ctrl "
     "md_clear rtm_always_abort - tsx_force_abort serialize hybrid tsxldtrk - pconfig arch_lbr ibt "
     "- amx_bf16 avx512_fp16 amx_tile amx_int8 spec_ctrl intel_stibp flush_l1d arch_capabilities "
     "core_capabilities spec_ctrl_ssbd"},
    {kLeaf7Sub1Eax, 0x7, 1, &tCPUIDResult::EAX,
     "sha512 sm3 sm4 rao_int avx_vnni avx512_bf16 lass cmpccxadd arch_perfmon_ext - fzrm fsrs fsrc "
     "- - - - fred lkgs wrmsrns nmi_src amx_fp16 hreset avx_ifma - - lam msrlist - - "
     "invd_disable_post_bios_done movrs"},
    {kLeaf7Sub1Edx, 0x7, 1, &tCPUIDResult::EDX,
     "- - - - avx_vnni_int8 avx_ne_convert - - amx_complex - avx_vnni_int16 - - utmr prefetchi "
     "user_msr - uiret_uif cet_sss avx10 - apx_f - mwait - - - - - - - -"},
    {kLeaf7Sub2Edx, 0x7, 2, &tCPUIDResult::EDX,
     "psfd ipred_ctrl rrsba_ctrl ddpd_u bhi_ctrl mcdt_no uc_lock_disable monitor_mitg_no - - - - - "
     "- - - - - - - - - - - - - - - - - - -"},
    {kXsaveSub1Eax, 0xD, 1, &tCPUIDResult::EAX,
     "xsaveopt xsavec xgetbv1 xsaves xfd - - - - - - - - - - - - - - - - - - - - - - - - - - -"},
    {kExt1Edx, 0x80000001, 0, &tCPUIDResult::EDX,
     "fpu vme de pse tsc msr pae mce cx8 apic syscall syscall mtrr pge mca cmov pat pse36 - mp nx "
     "- mmxext mmx fxsr fxsr_opt pdpe1gb rdtscp - lm 3dnowext 3dnow"},
    {kExt1Ecx, 0x80000001, 0, &tCPUIDResult::ECX,
     "lahf_lm cmp_legacy svm extapic cr8_legacy abm sse4a misalignsse 3dnowprefetch osvw ibs xop "
     "skinit wdt - lwp fma4 tce - nodeid_msr - tbm topoext perfctr_core perfctr_nb - bpext ptsc "
     "perfctr_llc mwaitx addr_mask_ext -"},
    {kPowerEdx, 0x80000007, 0, &tCPUIDResult::EDX,
     "ts fid vid ttp htc stc 100mhzsteps hw_pstate constant_tsc cpb eff_freq_ro proc_feedback "
     "acc_power connected_standby rapl fast_cppc - - - - - - - - - - - - - - - -"},
    {kExt8Ebx, 0x80000008, 0, &tCPUIDResult::EBX,
     "clzero irperf xsaveerptr invlpgb rdpru - mba - mcommit wbnoinvd - - amd_ibpb wbinvd_int "
     "amd_ibrs amd_stibp ibrs_always_on amd_stibp_always_on ibrs_fast ibrs_same_mode no_efer_lmsle "
     "tlb_flush_nested - amd_ppin amd_ssbd virt_ssbd amd_ssb_no cppc amd_psfd btc_no ibpb_ret brs"},
    {kExt21Eax, 0x80000021, 0, &tCPUIDResult::EAX,
     "no_nested_data_bp wrmsr_xx_base_ns lfence_rdtsc smm_pg_cfg_lock - verw_clear "
     "null_sel_clr_base upper_addr_ignore autoibrs no_smm_ctl_msr fsrs fsrc - prefetch_ctl_msr - - "
     "- gp_on_user_cpuid epsf - prefetchi - - - - - - sbpb ibpb_brtype srso_no srso_user_kernel_no "
     "srso_msr_fix"},
};

std::vector<std::string> Split(const char* names) {
  std::istringstream in(names);
  std::vector<std::string> out;
  for (std::string name; in >> name;)
    out.push_back(name);
  return out;
}

std::vector<std::string> NamesOf(const tFeatureWords& words) {
  std::vector<std::string> names;
  for (const std::string_view name : FeatureNames(words))
    names.emplace_back(name);
  return names;
}

TEST(FeatureFlags, EveryBitAloneGivesItsOwnName) {
  ASSERT_EQ(std::size(kExpected), kFeatureRegisterCount);
  for (const tRegisterNames& reg : kExpected) {
    const std::vector<std::string> names = Split(reg.Names);
    ASSERT_EQ(names.size(), 32u) << kFeatureRegisters[reg.Index].Title;
    for (unsigned bit = 0; bit < 32; ++bit) {
      tFeatureWords words;
      words.Reported[reg.Index] = true;
      words.Value[reg.Index] = 1u << bit;
      const std::vector<std::string> expected =
          names[bit] == "-" ? std::vector<std::string>{} : std::vector<std::string>{names[bit]};
      EXPECT_EQ(NamesOf(words), expected) << kFeatureRegisters[reg.Index].Title << " bit " << bit;
    }
  }
}

TEST(FeatureFlags, EachRegisterIsReadFromItsOwnLeafAndRegister) {
  // Every register of every leaf holds a value of its own: leaf, sub-leaf and register coded.
  auto code = [](std::uint32_t leaf, std::uint32_t subLeaf, unsigned reg) {
    return (leaf << 8) ^ (subLeaf << 4) ^ (reg + 1);
  };
  const std::pair<std::uint32_t, std::uint32_t> pairs[] = {
      {1, 0},          {7, 0},          {7, 1},          {7, 2},         {0xD, 1},
      {0x80000001, 0}, {0x80000007, 0}, {0x80000008, 0}, {0x80000021, 0}};
  tCpuidStore store = StoreOf("GenuineIntel", 0xD, {{0x80000000, 0, {0x80000021, 0, 0, 0}}});
  for (const auto& [leaf, sub] : pairs)
    store.Put(leaf, sub,
              {code(leaf, sub, 0), code(leaf, sub, 1), code(leaf, sub, 2), code(leaf, sub, 3)});
  store.Put(7, 0, {2, code(7, 0, 1), code(7, 0, 2), code(7, 0, 3)});  // 7.0 EAX: sub-leaves 0..2
  const tFeatureWords words = FeatureWordsOf(store);
  const tCPUIDResult probe{0, 1, 2, 3};
  for (const tRegisterNames& reg : kExpected) {
    EXPECT_TRUE(words.Reported[reg.Index]) << kFeatureRegisters[reg.Index].Title;
    EXPECT_EQ(words.Value[reg.Index], code(reg.Leaf, reg.SubLeaf, probe.*reg.Register))
        << kFeatureRegisters[reg.Index].Title;
  }
}

TEST(FeatureFlags, RegistersOutOfTheirRangeAreNotReported) {
  tCpuidStore store = StoreOf("AuthenticAMD", 7,
                              {{1, 0, {0, 0, 0, 0x1}},
                               {7, 0, {0, 0x20, 0, 0}},  // 7.0 EAX 0: no sub-leaf 1
                               {7, 1, {0x10, 0, 0, 0}},
                               {0xD, 1, {1, 0, 0, 0}},  // leaf 0xD above the maximum
                               {0x80000000, 0, {0x80000008, 0, 0, 0}},
                               {0x80000008, 0, {0, 0, 0, 0}},
                               {0x80000021, 0, {0x100, 0, 0, 0}}});
  const tFeatureWords words = FeatureWordsOf(store);
  EXPECT_TRUE(words.Reported[kLeaf7Ebx]);
  EXPECT_TRUE(words.Reported[kExt8Ebx]);  // reported, and 0
  for (const std::size_t unreported : {kLeaf7Sub1Eax, kXsaveSub1Eax, kExt21Eax, kPowerEdx}) {
    EXPECT_FALSE(words.Reported[unreported]) << kFeatureRegisters[unreported].Title;
    EXPECT_EQ(words.Value[unreported], 0u) << kFeatureRegisters[unreported].Title;
  }
  EXPECT_EQ(NamesOf(words), (std::vector<std::string>{"fpu", "avx2"}));
}

TEST(FeatureFlags, ANameTwoSetBitsShareComesOnce) {
  tFeatureWords words;
  words.Value[kLeaf1Edx] = 1u << 0;                             // fpu
  words.Value[kExt1Edx] = (1u << 0) | (1u << 10) | (1u << 11);  // fpu, syscall (K6), syscall
  words.Value[kLeaf7Sub1Eax] = 1u << 11;                        // fsrs
  words.Value[kExt21Eax] = (1u << 11) | (1u << 10);             // fsrc, fsrs
  EXPECT_EQ(NamesOf(words), (std::vector<std::string>{"fpu", "fsrs", "syscall", "fsrc"}));
}

// The captions of the three named legacy registers as the page has always shown them, bit 0
// first; the fourth, 0x80000001 ECX, read "Reserved" for every bit.
const char* const kStandard1[32] = {"Floating-point Unit",
                                    "Virtual Mode Extensions",
                                    "Debugging Extensions",
                                    "Pase Size Extensions",
                                    "Time Stamp Counter",
                                    "Model-specific Registers",
                                    "Page Adress Extensions",
                                    "Machine Check Extensions",
                                    "CMPXCHG8B Instruction",
                                    "MP Support (APIC Presented)",
                                    "Reserved",
                                    "SYSENTER/SYSEXIT",
                                    "Mem. Type Range Registers",
                                    "Global Paging Extensions",
                                    "Memory Check Architecture",
                                    "Conditional move Instruction",
                                    "Page Attribute Table",
                                    "Page Size Extensions (36 bit)",
                                    "Processor Serial Number",
                                    "CLFLUSH Instruction",
                                    "Reserved",
                                    "Debug Trace Store",
                                    "Thermal Control MSRs",
                                    "MMX Instructions",
                                    "Fast Save and Restore",
                                    "SSE Instructions",
                                    "SSE2 Instructions",
                                    "Self Snoop",
                                    "Hyper Threading technology",
                                    "Thermal Monitor",
                                    "IA64 Compatibility",
                                    "Pending Break Event"};
const char* const kStandard2[32] = {"SSE3 Instructions",
                                    "Reserved",
                                    "Reserved",
                                    "MONITOR/MWAIT",
                                    "CPL-qualified Debug Store",
                                    "Reserved",
                                    "Reserved",
                                    "Enhanced SpeedStep",
                                    "Thermal Control 2 MSRs",
                                    "Reserved",
                                    "Context ID",
                                    "Reserved",
                                    "Reserved",
                                    "CMPXCHG16B Instruction",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved"};
const char* const kExtended1[32] = {"Floating-point Unit",
                                    "Virtual Mode Extensions",
                                    "Debugging Extensions",
                                    "Pase Size Extensions",
                                    "Time Stamp Counter",
                                    "Model-specific Registers",
                                    "Page Adress Extensions",
                                    "Machine Check Extensions",
                                    "CMPXCHG8B Instruction",
                                    "MP Support (APIC Presented)",
                                    "Reserved",
                                    "SYSCALL/SYSRET",
                                    "Mem. Type Range Registers",
                                    "Global Paging Extensions",
                                    "Memory Check Architecture",
                                    "Conditional move Instruction",
                                    "Page Attribute Table",
                                    "Page Size Extensions (36 bit)",
                                    "Reserved",
                                    "Multiprocessor capability",
                                    "Ext. Feature Enable MSR",
                                    "Reserved",
                                    "Ext. MMX Instructions",
                                    "MMX Instructions",
                                    "Fast Save and Restore",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "Reserved",
                                    "AMD 64-bit compatibility",
                                    "AMD Extended 3DNow! Inst.",
                                    "AMD 3DNow! Instructions"};

TEST(FeatureFlags, LegacyCaptionsStayAndReservedOnesThatAreDefinedNowGetTheirNames) {
  const char* const reserved[32] = {
      "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved",
      "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved",
      "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved",
      "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved", "Reserved",
      "Reserved", "Reserved", "Reserved", "Reserved"};
  const std::pair<std::size_t, const char* const*> legacy[] = {{kLeaf1Edx, kStandard1},
                                                               {kLeaf1Ecx, kStandard2},
                                                               {kExt1Edx, kExtended1},
                                                               {kExt1Ecx, reserved}};
  for (const auto& [index, captions] : legacy) {
    const std::vector<std::string> names = Split(kExpected[index].Names);
    for (unsigned bit = 0; bit < 32; ++bit) {
      const std::string_view shown = kFeatureRegisters[index].Bits[bit].Caption;
      const std::string why =
          std::string(kFeatureRegisters[index].Title) + " bit " + std::to_string(bit);
      if (std::string_view(captions[bit]) != "Reserved") {
        EXPECT_EQ(shown, captions[bit]) << why;
      } else if (names[bit] != "-") {
        EXPECT_NE(shown, "Reserved") << why << " is defined now";
        EXPECT_FALSE(shown.empty()) << why;
      } else {
        EXPECT_EQ(shown, "Reserved") << why;
      }
    }
  }
}

TEST(FeatureFlags, NewRegistersCaptionEveryNamedBit) {
  for (std::size_t r = 0; r < kFeatureRegisterCount; ++r) {
    for (const tFlagName& bit : kFeatureRegisters[r].Bits) {
      EXPECT_FALSE(bit.Caption.empty()) << kFeatureRegisters[r].Title;
      if (!bit.Short.empty()) {
        EXPECT_NE(bit.Caption, "Reserved") << bit.Short;
      }
    }
  }
}

}  // namespace
