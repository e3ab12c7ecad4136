#pragma once
// Recolouring of unit sprites: every tint adds to green or blue, so a non-black
// pixel never turns black and one mask per facing serves every owner.

#include <QImage>
#include <cstdint>

namespace modColorize {

struct Tint {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// Indexed by player 1..4; player 1's sprites are the red files themselves.
inline constexpr Tint PlayerTint[5] = {{}, {}, {-55, -16, 165}, {-58, 58, 8}, {-9, 66, 8}};
// Player 4's up and down sprites take blue the other way.
inline constexpr Tint PlayerTintUpDown[5] = {{}, {}, {-55, -16, 165}, {-58, 58, 8}, {-9, 66, -8}};
// Units that have acted, whoever owns them.
inline constexpr Tint DoneTint = {-61, 17, 17};

struct Components {
    int red = 0;
    int green = 0;
    int blue = 0;
};

// A colour value with red in the low byte, split into its three bytes.
Components SplitColor(std::uint32_t colour);

// dst := src with every non-black pixel shifted and clamped to 0..255; black stays black.
// src and dst may be the same picture.
void ColorizePicture(const QImage& src, QImage& dst, Tint tint);

// dst := black where src is not black, white where it is.
void MakeMask(const QImage& src, QImage& dst);

}  // namespace modColorize
