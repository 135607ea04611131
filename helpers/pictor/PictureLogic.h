// Pictor's decisions that need no picture and no printer: which route a type token takes,
// where the converter puts its result, and how the picture is laid out on the page. Sizes
// are in twips (1/1440 inch), as the picture box and the printer page measure them.
#pragma once

#include <string>

namespace pictor {

enum class Route { kDirect, kConverter, kService };

// Exact comparison, the converter type first, then the five direct types.
Route RouteFor(const std::string& typeToken);

// The path with every occurrence of the converter type's token, in any letter case (folder
// names included), replaced by the third direct type's token.
std::string ConvertedPath(const std::string& path);

inline constexpr double kTwipsPerInch = 1440;
inline constexpr double kTwipsPerPoint = 20;
inline constexpr double kTwipsPerPixel = 15;  // a picture box shows a pixel as 1/96 inch

struct Placement {
    bool landscape = false;
    int layoutCase = 4;  // 1 too wide, 2 too tall, 3 too large both ways, 4 fits
    double x = 0, y = 0, width = 0, height = 0;  // on the page, twips
    double pageWidth = 0, pageHeight = 0;        // the page as oriented, twips
};

// w, h: the picture's size; paperWidth, paperHeight: the paper upright (portrait).
// Landscape when the picture is wider than tall. The cases compare strictly, so a picture as
// wide as the page and taller than it keeps its own size. When too large both ways the
// smaller overflow (whole twips, halves to even) is fitted, equal overflow to the height; a
// choice that would still leave the picture off the page takes the other side instead.
Placement LayOut(double w, double h, double paperWidth, double paperHeight);

}  // namespace pictor
