// The frequencies a processor reports of itself: base, maximum and bus clock of leaf 0x16, the
// time-stamp counter rate of leaf 0x15 (crystal times ratio, with the crystal of the models
// that do not report it), and the rate a hypervisor gives in leaf 0x40000010.
#pragma once

#include "engine/store/CpuidStore.h"

struct tFrequencies {
  // Leaf 0x16, in MHz; 0 where not reported.
  unsigned BaseMHz = 0;
  unsigned MaxMHz = 0;
  unsigned BusMHz = 0;
  // The time-stamp counter rate in MHz from leaf 0x15, else from a hypervisor's 0x40000010;
  // 0 where neither gives one.
  double TscMHz = 0;

  friend bool operator==(const tFrequencies&, const tFrequencies&) = default;
};

tFrequencies FrequenciesOf(const tCpuidStore& store);
