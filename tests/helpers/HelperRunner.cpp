#include "tests/helpers/HelperRunner.h"

#include <filesystem>
#include <stdexcept>

#include "shared/AppFolder.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"
#include "tests/support/Pdf.h"

namespace vtest {

HelperInstall::HelperInstall(const Cups& cups) : cups_(cups), dir_("install") {}

void HelperInstall::Install(const std::string& program) const {
    const std::string link = dir_ / program;
    if (!Exists(link)) std::filesystem::create_symlink(BinDir() + "/" + program, link);
}

int HelperInstall::Run(const std::string& program, const std::string& argumentText,
                       const std::map<std::string, std::string>& extraEnv) const {
    Process::Options o = cups_.ProcessOptions();
    o.env["VELLORA_FOLDER"] = dir_.path();
    o.env["QT_QPA_PLATFORM"] = "offscreen";
    // No conversion service: nobody listens on port 1, so the service route fails at once
    // whatever runs on this machine's default service port.
    o.env["VELLORA_CONVERT_URL"] = "http://127.0.0.1:1";
    for (const auto& [k, v] : extraEnv) o.env[k] = v;
    return vtest::Run({BinDir() + "/" + program, argumentText}, nullptr, std::chrono::seconds(60),
                      o);
}

std::string HelperInstall::Record(const std::string& jobId) const {
    // Read straight from this installation's settings file, leaving modJob's binding alone.
    return basINI_IO::ReadSettingText(dir_ / vellora::texts::kSettingsFileName.str(),
                                      vellora::texts::kJobSection.str(),
                                      vellora::texts::kJobKeyPrefix.str() + jobId);
}

std::string HelperInstall::Log() const {
    vellora::SetAppFolderForTesting(dir_.path());
    std::string text = ReadFile(modWriteLog::LogFilePath());
    vellora::SetAppFolderForTesting("");
    return text;
}

void HelperInstall::SetDefaultPrinter(const std::string& printer) const {
    if (cups_.Tool({"/usr/bin/lpoptions", "-d", printer}) != 0)
        throw std::runtime_error("lpoptions -d " + printer + " failed");
}

QImage PageImage(const std::string& pdf, int page, int dpi) {
    TempDir tmp("page");
    const std::string png = PdfPageToPng(pdf, page, tmp / "p", dpi);
    return QImage(QString::fromStdString(png));
}

QRect InkBox(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() < 200 || c.green() < 200 || c.blue() < 200) box |= QRect(x, y, 1, 1);
        }
    return box;
}

std::string WithExifOrientation(const std::string& jpeg, int orientation) {
    if (jpeg.size() < 2 || static_cast<unsigned char>(jpeg[0]) != 0xFF)
        throw std::runtime_error("not a JPEG");
    // APP1 "Exif": big-endian TIFF header, one IFD entry: Orientation (0x0112), SHORT, 1.
    const unsigned char app1[] = {
        0xFF, 0xE1, 0x00, 0x22, 'E',  'x',
        'i',  'f',  0,    0,    'M',  'M',
        0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,
        0x00, 0x01, 0x01, 0x12, 0x00, 0x03,
        0x00, 0x00, 0x00, 0x01, 0x00, static_cast<unsigned char>(orientation),
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    return jpeg.substr(0, 2) + std::string(reinterpret_cast<const char*>(app1), sizeof app1) +
           jpeg.substr(2);
}

void MakePicture(const std::vector<std::string>& convertArgs) {
    std::vector<std::string> argv = {"/usr/bin/convert"};
    argv.insert(argv.end(), convertArgs.begin(), convertArgs.end());
    std::string out;
    if (vtest::Run(argv, &out) != 0) throw std::runtime_error("convert failed: " + out);
}

}  // namespace vtest
