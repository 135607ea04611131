// The picture converter: turns a picture of the converter type into the third direct type,
// written under the name Pictor derives from the source path, through ImageMagick. Takes the
// quoted source path as its argument text. The result appears under its final name only when
// it is complete, and the conversion is stopped after its own time limit.
//
// ImageMagick reads the picture as HEIC and nothing else (a file never picks a reader by its
// contents: an SVG or PostScript file named .heic is refused), from a private folder that
// holds only a copy of it, inside the sandbox where the sandbox runs.
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "helpers/frame/CommandLine.h"
#include "helpers/frame/Confinement.h"
#include "helpers/pictor/PictureLogic.h"
#include "platform/office/GroupRun.h"
#include "shared/Literal.h"

namespace {
namespace fs = std::filesystem;

constexpr auto kTimeLimit = std::chrono::seconds(9);  // Pictor gives up after 10 s

// A private folder beside the target (so the result moves by a rename), removed at the end.
class RunFolder {
  public:
    explicit RunFolder(const fs::path& parent) {
        std::string name = (parent / VL(".picconv-XXXXXX")).string();
        if (::mkdtemp(name.data()) != nullptr) path_ = name;
    }
    ~RunFolder() {
        std::error_code ec;
        if (!path_.empty()) fs::remove_all(path_, ec);
    }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Converts the copy in the run folder; true when the result was written there.
bool RunConverter(const std::string& folder, const std::string& input, const std::string& output) {
    const std::vector<std::string> argv = {VL("/usr/bin/convert"),
                                           VL("-limit"),
                                           VL("time"),
                                           std::to_string(kTimeLimit.count()),
                                           VL("HEIC:") + input + VL("[0]"),
                                           VL("-auto-orient"),
                                           VL("-flatten"),
                                           VL("PNG:") + output};
    vellora::confine::Sandbox box;
    box.writable = {folder};
    box.home = folder;
    box.pictures = true;
    vellora::helper::ReportUnconfinedToLog();
    const auto wrapped = vellora::confine::Wrap(argv, box, vellora::helper::ConfinementMode());
    if (!wrapped.error.empty()) return false;
    const auto run = vellora::office::RunInOwnGroup(wrapped.argv,
                                                    {{VL("MAGICK_MEMORY_LIMIT"), VL("512MiB")},
                                                     {VL("MAGICK_MAP_LIMIT"), VL("1GiB")},
                                                     {VL("MAGICK_DISK_LIMIT"), VL("1GiB")},
                                                     {VL("MAGICK_AREA_LIMIT"), VL("128MP")},
                                                     {VL("MAGICK_TEMPORARY_PATH"), folder}},
                                                    folder + VL("/convert.log"), kTimeLimit);
    return run.started && !run.timedOut && run.exitCode == 0 && fs::exists(output);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string source =
        vellora::helper::RemoveQuotes(vellora::helper::ArgumentText(argc, argv));
    if (source.empty()) return 2;
    const std::string target = pictor::ConvertedPath(source);
    if (target == source) return 2;  // never write over the source
    std::error_code ec;
    fs::create_directories(fs::path(target).parent_path(), ec);
    RunFolder run(fs::path(target).parent_path());
    if (run.path().empty()) return 1;
    const std::string input = run.path() + VL("/picture.heic");
    const std::string output = run.path() + VL("/picture.png");
    fs::copy_file(source, input, ec);
    if (ec || !RunConverter(run.path(), input, output)) return 1;
    // The converted picture is the mail's content, like the file it came from; the run folder
    // lies beside the target, so it arrives in one rename.
    fs::permissions(output, fs::perms::owner_read | fs::perms::owner_write, ec);
    fs::rename(output, target, ec);
    return ec ? 1 : 0;
}
