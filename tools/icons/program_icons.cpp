#include "tools/icons/program_icons.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarnwatch::icons {
namespace {

constexpr std::uint8_t Black = 0;
constexpr std::uint8_t DarkYellow = 3;
constexpr std::uint8_t DarkCyan = 6;
constexpr std::uint8_t Yellow = 11;
constexpr std::uint8_t Cyan = 14;
constexpr std::uint8_t White = 15;

struct Point {
    double x;
    double y;
};

double Distance(Point a, Point b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

double DistanceToSegment(Point p, Point from, Point to) {
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const double along = ((p.x - from.x) * dx + (p.y - from.y) * dy) / (dx * dx + dy * dy);
    const double t = std::clamp(along, 0.0, 1.0);
    return Distance(p, {from.x + t * dx, from.y + t * dy});
}

std::vector<std::uint8_t> IconFile(Colouring colouring) {
    std::vector<IndexedImage> images;
    for (const int size : IconSizes) {
        images.push_back(DrawWatchingEye(size, colouring));
    }
    return EncodeIconFile(images, VgaPalette());
}

} // namespace

const Palette& VgaPalette() {
    static const Palette palette = {{{0, 0, 0},
                                     {128, 0, 0},
                                     {0, 128, 0},
                                     {128, 128, 0},
                                     {0, 0, 128},
                                     {128, 0, 128},
                                     {0, 128, 128},
                                     {192, 192, 192},
                                     {128, 128, 128},
                                     {255, 0, 0},
                                     {0, 255, 0},
                                     {255, 255, 0},
                                     {0, 0, 255},
                                     {255, 0, 255},
                                     {0, 255, 255},
                                     {255, 255, 255}}};
    return palette;
}

IndexedImage DrawWatchingEye(int sizePixels, Colouring colouring) {
    const std::uint8_t body = colouring == Colouring::Yellow ? Yellow : Cyan;
    const std::uint8_t detail = colouring == Colouring::Yellow ? DarkYellow : DarkCyan;

    // Everything is laid out on a 32-pixel grid and scaled, so both sizes show the same figure.
    const double scale = sizePixels / 32.0;
    const Point centre{sizePixels / 2.0, sizePixels / 2.0 + 3 * scale};
    // The lids are two arcs that meet at the corners of the eye.
    const double halfWidth = 14.5 * scale;
    const double halfHeight = 9 * scale;
    const double arcOffset = (halfWidth * halfWidth - halfHeight * halfHeight) / (2 * halfHeight);
    const double arcRadius = arcOffset + halfHeight;
    const Point upperLidCentre{centre.x, centre.y + arcOffset};
    const Point lowerLidCentre{centre.x, centre.y - arcOffset};
    const double lidWidth = std::max(0.85, 1.6 * scale);
    const double irisRadius = 6.5 * scale;
    const double pupilRadius = 3 * scale;
    const Point glint{centre.x - 2 * scale, centre.y - 2 * scale};
    const double glintRadius = std::max(0.6, 1.2 * scale);

    // Lashes fan out from the upper lid; the small image has room for three.
    std::vector<double> lashAngles =
        sizePixels >= 24 ? std::vector<double>{-44, -22, 0, 22, 44} : std::vector<double>{-40, 0, 40};
    const double lashHalfWidth = std::max(0.55, 0.8 * scale);

    IndexedImage image(sizePixels);
    for (int y = 0; y < sizePixels; ++y) {
        for (int x = 0; x < sizePixels; ++x) {
            const Point p{x + 0.5, y + 0.5};
            const double insideUpper = arcRadius - Distance(p, upperLidCentre);
            const double insideLower = arcRadius - Distance(p, lowerLidCentre);
            std::uint8_t& pixel = image.At(x, y);
            if (insideUpper >= 0 && insideLower >= 0) {
                if (std::min(insideUpper, insideLower) < lidWidth) {
                    pixel = detail;
                } else if (Distance(p, glint) <= glintRadius) {
                    pixel = White;
                } else if (Distance(p, centre) <= pupilRadius) {
                    pixel = Black;
                } else if (Distance(p, centre) <= irisRadius) {
                    pixel = detail;
                } else {
                    pixel = body;
                }
                continue;
            }
            for (double degrees : lashAngles) {
                const double radians = degrees * std::numbers::pi / 180;
                const Point direction{std::sin(radians), -std::cos(radians)};
                const Point root{upperLidCentre.x + direction.x * (arcRadius - 0.5 * scale),
                                 upperLidCentre.y + direction.y * (arcRadius - 0.5 * scale)};
                const Point tip{upperLidCentre.x + direction.x * (arcRadius + 5 * scale),
                                upperLidCentre.y + direction.y * (arcRadius + 5 * scale)};
                if (DistanceToSegment(p, root, tip) <= lashHalfWidth) {
                    pixel = detail;
                }
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> YellowIconFile() {
    return IconFile(Colouring::Yellow);
}
std::vector<std::uint8_t> BlueIconFile() {
    return IconFile(Colouring::Blue);
}

} // namespace tarnwatch::icons
