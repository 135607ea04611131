// The HTML engine: one local HTML file becomes a PDF through Qt WebEngine, with no window
// and with the page treated as hostile (it usually comes from a mail): no scripts, no
// plugins, nothing from the network, no file outside the page's own folder, no second page.
#pragma once

#include <chrono>
#include <string>

namespace vellora::html {

struct HtmlPdfOptions {
    double pageWidth = 595.28;  // points; the default printer's paper is given by the caller
    double pageHeight = 841.89;
    double margin = 28.35;  // points on every side (1 cm)
    std::chrono::milliseconds printTimeout = std::chrono::seconds(60);
};

enum class HtmlOutcome { Printed, Failed };

struct HtmlPdfResult {
    HtmlOutcome outcome = HtmlOutcome::Failed;
    std::string error;  // for Failed: what went wrong
};

// One page in the engine. Load() starts loading; the caller runs the event loop (or lets
// pending events run) until Loaded(), then prints. Needs a QGuiApplication in this thread.
class HtmlPage {
  public:
    explicit HtmlPage(const std::string& htmlPath);
    ~HtmlPage();
    HtmlPage(const HtmlPage&) = delete;
    HtmlPage& operator=(const HtmlPage&) = delete;

    // Empty when the page can be loaded, else why not (it does not exist, ...).
    std::string Problem() const;
    void Load();
    bool Loaded() const;    // the load has completed (successfully or not)
    bool LoadedOk() const;  // ... and the document itself was loaded
    // Prints the loaded page to pdfPath, running the event loop until the engine is done.
    HtmlPdfResult PrintToPdf(const std::string& pdfPath, const HtmlPdfOptions& options);

  private:
    struct Parts;
    Parts* parts_;
    std::string path_;
};

// Sets up the process for the engine: call first thing in main, before the application
// object exists (no window system, shared GL contexts, and the engine's sandbox on unless the
// program runs as root, whatever the environment asked for).
void PrepareEngineProcess();

// The engine's command-line switches: the inherited ones (without those that turn its
// sandbox off, unless `root`) followed by ours.
std::string EngineFlags(const std::string& inherited, bool root);

}  // namespace vellora::html
