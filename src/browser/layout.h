#pragma once

namespace ruzez {

// The window's controls were designed in twips; at design resolution a
// pixel is 15 twips. Controls of the main window are placed in pixels,
// those inside the search panel were measured in twips.
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

} // namespace ruzez
