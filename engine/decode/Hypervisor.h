// The hypervisor a processor runs under, as CPUID tells it: leaf 1 ECX bit 31 says there is
// one, leaf 0x40000000 gives its signature (and 0x40000100 a second interface, as Xen offers
// behind a Hyper-V one), and leaf 0x21 marks an Intel TDX guest.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/store/CpuidStore.h"

struct tHypervisor {
  bool Present = false;   // leaf 1 ECX bit 31
  std::string Signature;  // the 12 characters of 0x40000000, trailing NULs and spaces cut
  std::string_view Name;  // the product of a known signature; "" otherwise
  bool TdxGuest = false;  // leaf 0x21 says "IntelTDX    "

  friend bool operator==(const tHypervisor&, const tHypervisor&) = default;
};

tHypervisor HypervisorOf(const tCpuidStore& store);

// What the report and the window show: the product with its signature, "none" without a
// hypervisor; `probed` is what the virtual-machine probes found ("" for nothing), used where
// CPUID says nothing.
std::string HypervisorText(const tHypervisor& hypervisor, std::string_view probed);

// Whose interface the leaves of a hypervisor range follow.
enum class tHypervisorInterface : std::uint8_t { Unknown, Kvm, HyperV, Xen, Vmware, Bhyve };

// The interface of the hypervisor range starting at `base` (0x40000000 or 0x40000100): a known
// signature's, Unknown for another printable signature under the hypervisor bit of leaf 1;
// nothing when the range holds no hypervisor's answer.
std::optional<tHypervisorInterface> HypervisorInterfaceAt(const tCpuidStore& store,
                                                          std::uint32_t base);
