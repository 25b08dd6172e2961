// The vendor strings of leaf 0 (EBX, EDX, ECX), each written once: the vendor table, the maker
// table of today's processors and the decoders that depend on the vendor compare with these.
#pragma once

#include <string_view>

inline constexpr std::string_view kVendorIntel = "GenuineIntel";
inline constexpr std::string_view kVendorUmc = "UMC UMC UMC ";  // ends in a space
inline constexpr std::string_view kVendorAmd = "AuthenticAMD";
inline constexpr std::string_view kVendorCyrix = "CyrixInstead";
inline constexpr std::string_view kVendorNexGen = "NexGenDriven";
inline constexpr std::string_view kVendorCentaur = "CentaurHauls";
inline constexpr std::string_view kVendorRise = "RiseRiseRise";
inline constexpr std::string_view kVendorSiS = "SiS SiS SiS ";  // ends in a space
inline constexpr std::string_view kVendorTransmeta = "GenuineTMx86";
inline constexpr std::string_view kVendorNational = "Geode by NSC";
inline constexpr std::string_view kVendorHygon = "HygonGenuine";
inline constexpr std::string_view kVendorZhaoxin = "  Shanghai  ";
