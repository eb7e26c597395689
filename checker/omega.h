#pragma once
// The volume for current computation as the checker hands it to the simulator: its cell range,
// its box (widened to the volums with free electrons that it touches) and the volums it touches.

#include <array>
#include <cstdint>

namespace comprova {

struct OmegaVolume {
    std::int64_t first[3] = {0, 0, 0}, last[3] = {0, 0, 0}; // cell range along x, y, z
    double lower[3] = {0, 0, 0}, upper[3] = {0, 0, 0};      // box coordinates
    int count = 0;                                          // volums owning a cell of the range
    std::array<int, 101> volums{};
    int electron_count = 0; // of which have free electrons (volum kind 1)
    std::array<int, 101> electron_volums{};
};
OmegaVolume &omegaVolume();

} // namespace comprova
