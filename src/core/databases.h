#pragma once
// The point-of-sale databases, in the order of the database index (0..5):
// each database's name and the settings key that names its server. Index
// 1000 + i reaches the "Master" database on the server of database i.

#include <array>

namespace tanka {

struct PosDatabase {
    const char* name;      // "MSTORI", ...
    const char* serverKey; // key of section "LUMINA" in the settings file
};

inline constexpr std::array<PosDatabase, 6> PosDatabases{{
    {"MSTORI", "MsTori"}, // store masters: prices, stores
    {"MSJSHO", "MSJsho"},
    {"MSKYAK", "MsKyak"}, // customers; the program-wide connection's own
    {"MSURIA", "MsUria"},
    {"MSLOCL", "MsLocl"}, // this PC's own store number
    {"MSHONB", "MsHonb"}, // headquarters only
}};

} // namespace tanka
