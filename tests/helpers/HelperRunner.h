// Running the built helper programs against a private installation folder and a private
// cupsd, and looking at what they printed and recorded.
#pragma once

#include <QImage>
#include <QRect>
#include <map>
#include <string>

#include "tests/support/Cups.h"
#include "tests/support/TestSupport.h"

namespace vtest {

class HelperInstall {
  public:
    explicit HelperInstall(const Cups& cups);
    const std::string& Folder() const { return dir_.path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }
    // Puts a built program (or a link to it) into the installation folder.
    void Install(const std::string& program) const;
    // Runs a built program with one argument text; returns its exit code.
    int Run(const std::string& program, const std::string& argumentText,
            const std::map<std::string, std::string>& extraEnv = {}) const;
    std::string Record(const std::string& jobId) const;  // the job store value
    std::string Log() const;
    // Makes `printer` the user's default printer of the private home.
    void SetDefaultPrinter(const std::string& printer) const;

  private:
    const Cups& cups_;
    TempDir dir_;
};

// A printed page as a picture, and the box around everything on it that is not white.
QImage PageImage(const std::string& pdf, int page, int dpi = 36);
QRect InkBox(const QImage& page);

// A JPEG with an EXIF orientation tag (1 to 8) put in front of its data.
std::string WithExifOrientation(const std::string& jpeg, int orientation);
// Runs ImageMagick to make a test picture; throws when it fails.
void MakePicture(const std::vector<std::string>& convertArgs);

}  // namespace vtest
