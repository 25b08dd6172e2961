// The hypervisor of leaves 1 and 0x40000000, and the clocks the processor reports of itself.
#include <gtest/gtest.h>

#include <string>

#include "engine/decode/Frequencies.h"
#include "engine/decode/Hypervisor.h"
#include "tests/support/EngineFixtures.h"

namespace {

// Characters k*4 .. k*4+3 of a 12-character signature, first character lowest.
std::uint32_t Part(std::string_view text, std::size_t k) {
  std::uint32_t value = 0;
  for (std::size_t c = 0; c < 4; ++c)
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(text[k * 4 + c])) << (8 * c);
  return value;
}

// A processor under a hypervisor (leaf 1 ECX bit 31 when `bit`) whose leaf 0x40000000 holds
// the 12 characters of `signature` in EBX, ECX, EDX.
tCpuidStore Guest(std::string_view signature, bool bit = true, std::uint32_t maxLeaf = 0x40000001) {
  return StoreOf(
      "AuthenticAMD", 0xD,
      {{1, 0, {0x00A10F11, 0, bit ? 0x80000000u : 0u, 0}},
       {0x40000000, 0, {maxLeaf, Part(signature, 0), Part(signature, 1), Part(signature, 2)}}});
}

TEST(Hypervisor, KnownSignaturesAndTheirProducts) {
  using namespace std::string_view_literals;
  struct tCase {
    std::string_view Registers;  // 12 characters
    std::string_view Signature;
    std::string_view Name;
  };
  const tCase cases[] = {
      {"KVMKVMKVM\0\0\0"sv, "KVMKVMKVM", "KVM"},
      {"Linux KVM Hv", "Linux KVM Hv", "KVM"},
      {"Microsoft Hv", "Microsoft Hv", "Microsoft Hyper-V"},
      {"VMwareVMware", "VMwareVMware", "VMware"},
      {"XenVMMXenVMM", "XenVMMXenVMM", "Xen"},
      {"bhyve bhyve ", "bhyve bhyve", "bhyve"},
      {"TCGTCGTCGTCG", "TCGTCGTCGTCG", "QEMU TCG"},
      {"VBoxVBoxVBox", "VBoxVBoxVBox", "VirtualBox"},
      {" lrpepyh  vr", " lrpepyh  vr", "Parallels"},
      {"ACRNACRNACRN", "ACRNACRNACRN", "ACRN"},
      {"SomeNewHyprv", "SomeNewHyprv", ""},
      {"\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C"sv, "", ""},
  };
  for (const tCase& c : cases) {
    const tHypervisor hv = HypervisorOf(Guest(c.Registers));
    EXPECT_TRUE(hv.Present);
    EXPECT_EQ(hv.Signature, c.Signature) << c.Signature;
    EXPECT_EQ(hv.Name, c.Name) << c.Signature;
  }
}

TEST(Hypervisor, WithoutTheBitOnlyAKnownSignatureCounts) {
  // Bare metal answers 0x40000000 with whatever its highest standard leaf holds.
  const tHypervisor bare = HypervisorOf(Guest("0123456789AB", false));
  EXPECT_FALSE(bare.Present);
  EXPECT_EQ(bare.Signature, "");
  // A hypervisor that hides the bit still has its signature.
  const tHypervisor hidden = HypervisorOf(Guest("VMwareVMware", false));
  EXPECT_EQ(hidden.Signature, "VMwareVMware");
  EXPECT_EQ(hidden.Name, "VMware");
  EXPECT_EQ(HypervisorOf(tCpuidStore{}), tHypervisor{});
}

TEST(Hypervisor, XenBehindHyperVAndTdxGuests) {
  tCpuidStore xen = Guest("Microsoft Hv");
  xen.Put(0x40000100, 0,
          {0x40000105, Part("XenVMMXenVMM", 0), Part("XenVMMXenVMM", 1), Part("XenVMMXenVMM", 2)});
  EXPECT_EQ(HypervisorOf(xen).Name, "Xen (Hyper-V interface)");
  EXPECT_EQ(HypervisorOf(xen).Signature, "Microsoft Hv");

  // Leaf 0x21: "IntelTDX    " in EBX, EDX, ECX.
  const std::string_view tdx = "IntelTDX    ";
  tCpuidStore guest = Guest("KVMKVMKVM\0\0\0");
  guest.Put(0, 0, {0x21, 0, 0, 0});
  guest.Put(0x21, 0, {0, Part(tdx, 0), Part(tdx, 2), Part(tdx, 1)});
  EXPECT_TRUE(HypervisorOf(guest).TdxGuest);
  guest.Put(0, 0, {0x20, 0, 0, 0});  // leaf 0x21 out of range
  EXPECT_FALSE(HypervisorOf(guest).TdxGuest);
}

TEST(Hypervisor, TextNamesWhatWasFound) {
  tHypervisor kvm{true, "KVMKVMKVM", "KVM", false};
  EXPECT_EQ(HypervisorText(kvm, ""), "KVM (\"KVMKVMKVM\")");
  kvm.TdxGuest = true;
  EXPECT_EQ(HypervisorText(kvm, ""), "KVM (\"KVMKVMKVM\"), TDX guest");
  EXPECT_EQ(HypervisorText({true, "NewOne", "", false}, ""), "\"NewOne\"");
  EXPECT_EQ(HypervisorText({true, "", "", false}, ""), "present, unnamed");
  EXPECT_EQ(HypervisorText({}, "VMware"), "VMware (found by probing)");
  EXPECT_EQ(HypervisorText({}, ""), "none");
}

TEST(Frequencies, ReportedClocksOfLeaves15And16) {
  // IL RaptorLake_12 (Core i5-14600K): 0x16 "[3500 / 5300 / 100]"; 0x15 "[91.00x / 38400000 /
  // 3494.40]": 38.4 MHz x 0xB6 / 2.
  const tFrequencies raptor = FrequenciesOf(StoreOf("GenuineIntel", 0x20,
                                                    {{1, 0, {0x000B0671, 0, 0, 0}},
                                                     {0x15, 0, {2, 0xB6, 0x0249F000, 0}},
                                                     {0x16, 0, {0xDAC, 0x14B4, 0x64, 0}}}));
  EXPECT_EQ(raptor.BaseMHz, 3500u);
  EXPECT_EQ(raptor.MaxMHz, 5300u);
  EXPECT_EQ(raptor.BusMHz, 100u);
  EXPECT_DOUBLE_EQ(raptor.TscMHz, 3494.4);

  // Models whose leaf 0x15 gives no crystal: the crystal the kernel knows for them.
  struct tCase {
    std::uint32_t Leaf1Eax;
    std::uint32_t Numerator;
    double Expected;
    const char* Why;
  };
  const tCase cases[] = {
      {0x000906E9, 0x15E, 4200.0, "Kaby Lake, 24 MHz: IL Kabylake [175.00x / 0], base 4200"},
      {0x000506E3, 0x11A, 3384.0, "Skylake desktop, 24 MHz x 282 / 2"},
      {0x000506F1, 0x0C8, 2500.0, "Denverton, 25 MHz x 200 / 2"},
      {0x000506C9, 0x0AE, 1670.4, "Goldmont, 19.2 MHz x 174 / 2"},
      {0x000A0655, 0x0C8, 0.0, "Comet Lake: no known crystal"},
  };
  for (const tCase& c : cases) {
    const tFrequencies f = FrequenciesOf(StoreOf(
        "GenuineIntel", 0x16, {{1, 0, {c.Leaf1Eax, 0, 0, 0}}, {0x15, 0, {2, c.Numerator, 0, 0}}}));
    EXPECT_NEAR(f.TscMHz, c.Expected, 1e-9) << c.Why;
  }
  EXPECT_EQ(FrequenciesOf(StoreOf("AuthenticAMD", 0x16,
                                  {{1, 0, {0x000906E9, 0, 0, 0}}, {0x15, 0, {2, 0x15E, 0, 0}}}))
                .TscMHz,
            0.0)
      << "the known crystals are Intel's";
  EXPECT_EQ(FrequenciesOf(StoreOf("GenuineIntel", 0x14, {{0x16, 0, {0xDAC, 0, 0, 0}}})).BaseMHz, 0u)
      << "leaf 0x16 out of range";
}

TEST(Frequencies, HypervisorTimingLeaf) {
  // 0x40000010 EAX: the counter's rate in kHz, where the hypervisor names the leaf.
  tCpuidStore guest = Guest("VMwareVMware", true, 0x40000010);
  guest.Put(0x40000010, 0, {2596210, 1000000, 0, 0});
  EXPECT_DOUBLE_EQ(FrequenciesOf(guest).TscMHz, 2596.21);
  guest.Put(0x40000000, 0, {0x40000001, 0, 0, 0});
  EXPECT_EQ(FrequenciesOf(guest).TscMHz, 0.0) << "the leaf past the hypervisor's maximum";
  tCpuidStore bare = Guest("VMwareVMware", false, 0x40000010);
  bare.Put(0x40000010, 0, {2596210, 1000000, 0, 0});
  EXPECT_EQ(FrequenciesOf(bare).TscMHz, 0.0) << "no hypervisor bit";
}

}  // namespace
