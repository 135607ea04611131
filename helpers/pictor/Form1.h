// The hidden form that holds the picture while it is printed. Its picture box Pic2 takes the
// size of the loaded picture (the right way up, as EXIF says) and measures it in twips; the
// picture itself is decoded only once the printed size is known, no larger than the page
// needs, so a large photo costs little memory and time.
#pragma once

#include <QImage>
#include <QSize>
#include <string>

namespace pictor {

// Pictures whose decoded form would need more than this are refused, not half-loaded.
inline constexpr int kAllocationLimitMb = 512;
// Printed pictures need no more detail than this.
inline constexpr double kPrintDpi = 300;

class PictureBox {
  public:
    // Reads the picture's header and measures it; throws HelperFailure when it cannot be read.
    void LoadPicture(const std::string& path);
    double WidthTwips() const;  // inner (= outer: the box has no border)
    double HeightTwips() const;
    QSize PixelSize() const { return size_; }  // as shown, after the EXIF orientation
    // The picture decoded for a printed size (twips), at most kPrintDpi; throws on failure.
    QImage Decode(double printedWidthTwips, double printedHeightTwips) const;

  private:
    std::string path_;
    QSize size_;
};

class Form1 {
  public:
    PictureBox Pic2;
};

}  // namespace pictor
