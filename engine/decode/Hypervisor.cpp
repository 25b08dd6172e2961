#include "engine/decode/Hypervisor.h"

#include <array>

#include "engine/store/Leaves.h"
#include "engine/store/MyUtils.h"

namespace {

constexpr std::string_view kTdxSignature = "IntelTDX    ";

struct tKnownHypervisor {
  std::string_view Signature;  // as kept: trailing NULs and spaces cut
  std::string_view Name;
  tHypervisorInterface Interface;  // whose leaves follow the signature's
};

constexpr auto kOwn = tHypervisorInterface::Unknown;

constexpr std::array<tKnownHypervisor, 10> kHypervisors{{
    {"KVMKVMKVM", "KVM", tHypervisorInterface::Kvm},
    {"Linux KVM Hv", "KVM", tHypervisorInterface::HyperV},
    {"Microsoft Hv", "Microsoft Hyper-V", tHypervisorInterface::HyperV},
    {"VMwareVMware", "VMware", tHypervisorInterface::Vmware},
    {"XenVMMXenVMM", "Xen", tHypervisorInterface::Xen},
    {"bhyve bhyve", "bhyve", tHypervisorInterface::Bhyve},
    {"TCGTCGTCGTCG", "QEMU TCG", kOwn},
    {"VBoxVBoxVBox", "VirtualBox", kOwn},
    {" lrpepyh  vr", "Parallels", kOwn},
    {"ACRNACRNACRN", "ACRN", kOwn},
}};

const tKnownHypervisor* KnownOf(std::string_view signature) {
  for (const tKnownHypervisor& known : kHypervisors) {
    if (known.Signature == signature) return &known;
  }
  return nullptr;
}

std::string_view NameOf(std::string_view signature) {
  const tKnownHypervisor* known = KnownOf(signature);
  return known != nullptr ? known->Name : std::string_view{};
}

// The signature of EBX, ECX, EDX with trailing NULs and spaces cut; "" when it holds anything
// but printable ASCII before them.
std::string SignatureOf(const tCPUIDResult& r) {
  std::string text = RegsToText(r.EBX, r.ECX, r.EDX, 0);
  const std::size_t end = text.find_last_not_of(std::string_view("\0 ", 2));
  text.resize(end == std::string::npos ? 0 : end + 1);
  for (const char c : text) {
    if (c < 0x20 || c > 0x7E) return {};
  }
  return text;
}

}  // namespace

tHypervisor HypervisorOf(const tCpuidStore& store) {
  tHypervisor hv;
  const tCPUIDResult* leaf1 = ReportedLeaf(store, kLeafFeatures);
  hv.Present = leaf1 != nullptr && GetBit(leaf1->ECX, kHypervisorBit) != 0;
  if (const tCPUIDResult* vendor = store.Find(kLeafHypervisorBase)) {
    std::string signature = SignatureOf(*vendor);
    const std::string_view name = NameOf(signature);
    // Without the hypervisor bit only a known signature counts: bare metal answers the leaf
    // with whatever its highest standard leaf holds.
    if (hv.Present || !name.empty()) {
      hv.Signature = std::move(signature);
      hv.Name = name;
    }
  }
  if (hv.Name == "Microsoft Hyper-V") {
    if (const tCPUIDResult* second = store.Find(kLeafHypervisorSecondBase)) {
      if (NameOf(SignatureOf(*second)) == "Xen") hv.Name = "Xen (Hyper-V interface)";
    }
  }
  if (const tCPUIDResult* tdx = ReportedLeaf(store, kLeafTrustDomain))
    hv.TdxGuest = RegsToText(tdx->EBX, tdx->EDX, tdx->ECX, 0) == kTdxSignature;
  return hv;
}

std::string HypervisorText(const tHypervisor& hv, std::string_view probed) {
  std::string text;
  if (!hv.Signature.empty()) {
    text = hv.Name.empty() ? "\"" + hv.Signature + "\""
                           : std::string(hv.Name) + " (\"" + hv.Signature + "\")";
  } else if (hv.Present) {
    text = "present, unnamed";
  } else if (!probed.empty()) {
    text = std::string(probed) + " (found by probing)";
  } else {
    text = "none";
  }
  if (hv.TdxGuest) text += ", TDX guest";
  return text;
}

std::optional<tHypervisorInterface> HypervisorInterfaceAt(const tCpuidStore& store,
                                                          std::uint32_t base) {
  const tCPUIDResult* head = store.Find(base);
  if (head == nullptr) return std::nullopt;
  const std::string signature = SignatureOf(*head);
  const tKnownHypervisor* known = KnownOf(signature);
  if (known != nullptr) return known->Interface;
  // An unknown signature counts where leaf 1 says a hypervisor is there.
  const tCPUIDResult* leaf1 = ReportedLeaf(store, kLeafFeatures);
  const bool present = leaf1 != nullptr && GetBit(leaf1->ECX, kHypervisorBit) != 0;
  if (!present || signature.empty()) return std::nullopt;
  return tHypervisorInterface::Unknown;
}
