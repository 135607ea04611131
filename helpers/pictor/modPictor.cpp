// Pictor prints one picture on one page of the default printer, scaled to the page: directly
// for the types Qt reads, through the picture converter for its one converter type, and
// through the conversion service for everything else.
#include <unistd.h>
#include <filesystem>

#include "helpers/frame/Confinement.h"
#include "helpers/frame/HelperFrame.h"
#include "helpers/frame/Launch.h"
#include "helpers/pictor/Form1.h"
#include "helpers/pictor/PagePrinter.h"
#include "helpers/pictor/PictorTexts.h"
#include "helpers/pictor/PictureLogic.h"
#include "shared/AppFolder.h"

namespace pictor {
namespace {
using namespace vellora::helper;

constexpr auto kConverterWait = std::chrono::seconds(10);
constexpr auto kConverterPoll = std::chrono::milliseconds(50);

// A private file for the page on its way to CUPS, removed when the job has been handed over.
class PageFile {
  public:
    PageFile() {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/pictor-XXXXXX";
        const int fd = ::mkstemp(tmpl.data());
        if (fd < 0) throw HelperFailure(VL("no temporary file for the page"));
        ::close(fd);
        path_ = tmpl;
    }
    ~PageFile() { ::unlink(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Load the form, put the picture on the page, send the page, unload the form.
void PrintProcedure(const std::string& path) {
    auto form = std::make_unique<Form1>();
    form->Pic2.LoadPicture(path);
    const auto paper = vellora::print::DefaultPaperSize();
    const Placement placement = LayOut(form->Pic2.WidthTwips(), form->Pic2.HeightTwips(),
                                       paper.width * kTwipsPerPoint, paper.height * kTwipsPerPoint);
    const QImage image = form->Pic2.Decode(placement.width, placement.height);
    PageFile page;
    RenderPage(image, placement, paper, page.path());
    PrintOnDefault(page.path(), std::filesystem::path(path).filename().string());
    form.reset();
}

Outcome ConverterRoute(HelperRun& run) {
    const std::string& path = run.Line().path;
    // The converter would refuse to run unconfined; say why here, where the job hears it.
    if (std::string why; ConfinementMode() == vellora::confine::Mode::Required &&
                         !vellora::confine::Available(&why)) {
        const std::string error = texts::kNoSandbox.str() + why;
        run.FailWith(error, error);
        return Outcome::kRecorded;
    }
    // The command text holds the converter's file name and the opening quote.
    const std::string command = texts::kConverterCommand.str();
    const auto blank = command.find(' ');
    StartDetached(vellora::AppFolder() + command.substr(0, blank),
                  command.substr(blank + 1) + path + "\"");
    const std::string converted = ConvertedPath(path);
    run.SetStep(30);
    const bool made = WaitUntil([&] { return FileExists(converted); }, kConverterWait,
                                run.GetClock(), kConverterPoll);
    run.SetStep(40);
    if (!made) {
        const std::string error = texts::kConvertedFileError.str();
        run.FailWith(error, error);
        return Outcome::kRecorded;
    }
    PrintProcedure(converted);
    run.SetStep(50);
    return Outcome::kPrinted;
}

Outcome PrintPicture(HelperRun& run) {
    run.SetStep(20);
    switch (RouteFor(run.Line().typeToken)) {
        case Route::kDirect:
            PrintProcedure(run.Line().path);
            run.SetStep(60);
            return Outcome::kPrinted;
        case Route::kConverter:
            return ConverterRoute(run);
        case Route::kService:
            run.SetStep(61);
            ConvertRemotely(run, {ConversionUser::kPictor, run.Line().path, run.Line().typeToken});
            return Outcome::kRecorded;
    }
    return Outcome::kRecorded;
}

}  // namespace
}  // namespace pictor

int main(int argc, char** argv) {
    vellora::helper::HelperSetup setup;
    setup.style = vellora::helper::ParseStyle::kPictor;
    setup.errorText = pictor::texts::kError.str();
    setup.stepSeparator = pictor::texts::kStepSeparator.str();
    setup.parseStep = 10;
    setup.activeStep = 20;
    return vellora::helper::RunHelper(argc, argv, setup, pictor::PrintPicture);
}
