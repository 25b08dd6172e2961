#include "engine/store/CommonTypes.h"

namespace {

struct tRowPlace {
  std::size_t group;
  std::size_t index;
};

tRowPlace PlaceOf(std::size_t k) {
  std::size_t group = 0;
  while (group + 1 < kLeafGroups.size() && k >= kLeafGroups[group].Count) {
    k -= kLeafGroups[group].Count;
    ++group;
  }
  return {group, k};
}

template <typename Data>
auto& RowOf(Data& data, std::size_t k) {
  const tRowPlace place = PlaceOf(k);
  switch (place.group) {
    case 0:
      return data.StdLeaf.at(place.index);
    case 1:
      return data.ExtLeaf.at(place.index);
    case 2:
      return data.TmLeaf.at(place.index);
    case 3:
      return data.CentaurLeaf.at(place.index);
    default:
      return data.SpecialLeaf.at(place.index);
  }
}

}  // namespace

std::uint32_t CaptureLeaf(std::size_t k) {
  const tRowPlace place = PlaceOf(k);
  return kLeafGroups[place.group].First + static_cast<std::uint32_t>(place.index);
}

tCPUIDResult& tCPUdata::Row(std::size_t k) {
  return RowOf(*this, k);
}
const tCPUIDResult& tCPUdata::Row(std::size_t k) const {
  return RowOf(*this, k);
}

platform::tCpuidRecording RecordingOf(const tCPUdata& data) {
  platform::tCpuidRecording recording;
  recording.reserve(kCapturedLeaves);
  for (std::size_t k = 0; k < kCapturedLeaves; ++k)
    recording.push_back({CaptureLeaf(k), 0, data.Row(k)});
  return recording;
}
