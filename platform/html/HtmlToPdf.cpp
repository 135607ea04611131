#include "platform/html/HtmlToPdf.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QSizeF>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <cstdlib>
#include <sstream>

#include "platform/html/HtmlTexts.h"

namespace vellora::html {
namespace {

namespace t = texts;

// Lets a request through only when it is a data: URL or a file inside the page's own
// folder (a mail must not print /etc/passwd in an iframe, nor call home through an image).
class FolderInterceptor : public QWebEngineUrlRequestInterceptor {
  public:
    explicit FolderInterceptor(const QString& folder) : prefix_(folder + '/') {}

    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        info.block(!Allowed(info.requestUrl()));
    }

    bool Allowed(const QUrl& url) const {
        if (url.scheme() == QString::fromStdString(t::kDataScheme.str())) return true;
        if (url.scheme() != QString::fromStdString(t::kFileScheme.str())) return false;
        const QFileInfo file(url.toLocalFile());
        const QString real = file.canonicalFilePath();  // symbolic links resolved
        return !real.isEmpty() && QFileInfo(real).isFile() && real.startsWith(prefix_);
    }

  private:
    QString prefix_;
};

// A page that loads the one document it was given and refuses every navigation of its main
// frame after it: a meta refresh, a link target or a form must not put another page in its
// place. Frames inside the page go on to the interceptor, which decides what they may load:
// refusing their navigation outright left the page loading for ever (an <object> with a
// blocked address never finished).
class SingleDocumentPage : public QWebEnginePage {
  public:
    SingleDocumentPage(QWebEngineProfile* profile, const QUrl& document)
        : QWebEnginePage(profile), document_(document) {}

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (!isMainFrame) return true;
        if (navigated_ || url != document_) return false;
        navigated_ = true;
        return true;
    }

  private:
    QUrl document_;
    bool navigated_ = false;
};

void HardenSettings(QWebEngineSettings* s) {
    using S = QWebEngineSettings;
    for (auto off : {S::JavascriptEnabled,
                     S::JavascriptCanOpenWindows,
                     S::JavascriptCanAccessClipboard,
                     S::JavascriptCanPaste,
                     S::PluginsEnabled,
                     S::DnsPrefetchEnabled,
                     S::LocalContentCanAccessRemoteUrls,
                     S::LocalStorageEnabled,
                     S::HyperlinkAuditingEnabled,
                     S::AutoLoadIconsForPage,
                     S::WebGLEnabled,
                     S::Accelerated2dCanvasEnabled,
                     S::PdfViewerEnabled,
                     S::ErrorPageEnabled,
                     S::ScreenCaptureEnabled,
                     S::AllowRunningInsecureContent,
                     S::AllowGeolocationOnInsecureOrigins,
                     S::PlaybackRequiresUserGesture,
                     S::NavigateOnDropEnabled,
                     S::XSSAuditingEnabled}) {
        s->setAttribute(off, false);
    }
    s->setAttribute(S::AutoLoadImages, true);
    s->setAttribute(S::PrintElementBackgrounds, true);
    s->setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

// Runs the event loop until `done` turns true or the time is up; true when done.
bool WaitUntil(const bool& done, std::chrono::milliseconds timeout) {
    if (done) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    loop.exec();
    return done;
}

HtmlPdfResult Outcome(HtmlOutcome outcome, std::string error = {}) {
    return {outcome, std::move(error)};
}

}  // namespace

std::string EngineFlags(const std::string& inherited, bool root) {
    std::string flags;
    std::istringstream in(inherited);
    const std::string switchesOff = t::kSandboxOffFlags.str();
    for (std::string flag; in >> flag;) {
        const std::string name = flag.substr(0, flag.find('='));
        // Only root runs without the engine's sandbox (Chromium refuses it as root).
        if (!root && switchesOff.find(' ' + name + ' ') != std::string::npos) continue;
        flags += flag + ' ';
    }
    return flags + t::kChromiumFlags.str();
}

void PrepareEngineProcess() {
    setenv(t::kPlatformVariable.str().c_str(), t::kOffscreen.str().c_str(), 1);
    const bool root = ::geteuid() == 0;
    if (root) {
        setenv(t::kSandboxVariable.str().c_str(), "1", 1);
    } else {
        unsetenv(t::kSandboxVariable.str().c_str());
    }
    const char* old = std::getenv(t::kChromiumFlagsVariable.str().c_str());
    const std::string flags = EngineFlags(old != nullptr ? old : "", root);
    setenv(t::kChromiumFlagsVariable.str().c_str(), flags.c_str(), 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

struct HtmlPage::Parts {
    explicit Parts(const QFileInfo& page)
        : url(QUrl::fromLocalFile(page.canonicalFilePath())),
          interceptor(page.canonicalPath()),
          web(&profile, url) {}
    QUrl url;
    // Declared in this order so that the page goes first, then the profile, then the
    // interceptor the profile uses.
    FolderInterceptor interceptor;
    QWebEngineProfile profile;  // no storage name: off the record, nothing written to disk
    SingleDocumentPage web;
    bool loaded = false;
    bool loadedOk = false;
};

HtmlPage::HtmlPage(const std::string& htmlPath) : parts_(nullptr), path_(htmlPath) {
    const QFileInfo page(QString::fromStdString(htmlPath));
    if (!page.isFile()) return;
    parts_ = new Parts(page);
    auto& p = *parts_;
    p.profile.setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    p.profile.setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    p.profile.setSpellCheckEnabled(false);
    p.profile.setUrlRequestInterceptor(&p.interceptor);
    HardenSettings(p.profile.settings());
    HardenSettings(p.web.settings());
    QObject::connect(&p.web, &QWebEnginePage::loadFinished, [&p](bool ok) {
        if (p.loaded) return;  // only the document's own load counts
        p.loaded = true;
        p.loadedOk = ok;
    });
}

HtmlPage::~HtmlPage() {
    delete parts_;
}

std::string HtmlPage::Problem() const {
    return parts_ == nullptr ? t::kNoPage.str() + path_ : std::string();
}

void HtmlPage::Load() {
    if (parts_ != nullptr) parts_->web.load(parts_->url);
}

bool HtmlPage::Loaded() const {
    return parts_ != nullptr && parts_->loaded;
}
bool HtmlPage::LoadedOk() const {
    return Loaded() && parts_->loadedOk;
}

HtmlPdfResult HtmlPage::PrintToPdf(const std::string& pdfPath, const HtmlPdfOptions& options) {
    if (!LoadedOk()) return Outcome(HtmlOutcome::Failed, t::kLoadFailed.str() + path_);
    bool printed = false, printedOk = false;
    QObject::connect(&parts_->web, &QWebEnginePage::pdfPrintingFinished,
                     [&](const QString&, bool ok) {
                         printed = true;
                         printedOk = ok;
                     });
    const QPageLayout layout(
        QPageSize(QSizeF(options.pageWidth, options.pageHeight), QPageSize::Point, QString(),
                  QPageSize::FuzzyMatch),
        QPageLayout::Portrait,
        QMarginsF(options.margin, options.margin, options.margin, options.margin),
        QPageLayout::Point);
    parts_->web.printToPdf(QString::fromStdString(pdfPath), layout);
    const bool done = WaitUntil(printed, options.printTimeout);
    QObject::disconnect(&parts_->web, &QWebEnginePage::pdfPrintingFinished, nullptr, nullptr);
    if (!done) return Outcome(HtmlOutcome::Failed, t::kPrintTimedOut.str());
    if (!printedOk || !QFileInfo(QString::fromStdString(pdfPath)).isFile()) {
        return Outcome(HtmlOutcome::Failed, t::kPrintFailed.str());
    }
    return Outcome(HtmlOutcome::Printed);
}

}  // namespace vellora::html
