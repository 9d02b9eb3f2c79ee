// Design geometry is in twips (1/1440 inch); the screen is in pixels at the monitor's real DPI.
#pragma once

namespace tarnwatch::win {

constexpr int TwipsPerInch = 1440;

// Rounds to the nearest pixel.
constexpr int TwipsToPixels(int twips, int dpi) {
    const long long scaled = static_cast<long long>(twips) * dpi;
    return static_cast<int>(scaled >= 0 ? (scaled + TwipsPerInch / 2) / TwipsPerInch
                                        : -((-scaled + TwipsPerInch / 2) / TwipsPerInch));
}

// Font sizes in points at the real DPI, as a negative LOGFONT height (character height).
constexpr int PointsToFontHeight(double points, int dpi) {
    return -static_cast<int>(points * dpi / 72.0 + 0.5);
}

} // namespace tarnwatch::win
