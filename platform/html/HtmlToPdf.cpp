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

// A page that loads the one document it was given and refuses every navigation after it:
// a meta refresh, a frame or a form must not put another page in its place.
class SingleDocumentPage : public QWebEnginePage {
public:
    SingleDocumentPage(QWebEngineProfile* profile, const QUrl& document)
        : QWebEnginePage(profile), document_(document) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (navigated_ || !isMainFrame || url != document_) return false;
        navigated_ = true;
        return true;
    }

private:
    QUrl document_;
    bool navigated_ = false;
};

void HardenSettings(QWebEngineSettings* s) {
    using S = QWebEngineSettings;
    for (auto off : {S::JavascriptEnabled, S::JavascriptCanOpenWindows, S::JavascriptCanAccessClipboard,
                     S::JavascriptCanPaste, S::PluginsEnabled, S::DnsPrefetchEnabled,
                     S::LocalContentCanAccessRemoteUrls, S::LocalStorageEnabled,
                     S::HyperlinkAuditingEnabled, S::AutoLoadIconsForPage, S::WebGLEnabled,
                     S::Accelerated2dCanvasEnabled, S::PdfViewerEnabled, S::ErrorPageEnabled,
                     S::ScreenCaptureEnabled, S::AllowRunningInsecureContent,
                     S::AllowGeolocationOnInsecureOrigins, S::PlaybackRequiresUserGesture,
                     S::NavigateOnDropEnabled, S::XSSAuditingEnabled}) {
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

void PrepareEngineProcess() {
    setenv(t::kPlatformVariable.str().c_str(), t::kOffscreen.str().c_str(), 1);
    if (::geteuid() == 0) setenv(t::kSandboxVariable.str().c_str(), "1", 1);
    std::string flags = t::kChromiumFlags.str();
    if (const char* old = std::getenv(t::kChromiumFlagsVariable.str().c_str())) {
        flags = std::string(old) + ' ' + flags;
    }
    setenv(t::kChromiumFlagsVariable.str().c_str(), flags.c_str(), 1);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

HtmlPdfResult RenderHtmlToPdf(const std::string& htmlPath, const std::string& pdfPath,
                              const HtmlPdfOptions& options) {
    const QFileInfo page(QString::fromStdString(htmlPath));
    if (!page.isFile()) return Outcome(HtmlOutcome::Failed, t::kNoPage.str() + htmlPath);
    const QUrl url = QUrl::fromLocalFile(page.canonicalFilePath());

    // Declared in this order so that the page goes first, then the profile, then the
    // interceptor the profile uses.
    FolderInterceptor interceptor(page.canonicalPath());
    QWebEngineProfile profile;  // no storage name: off the record, nothing written to disk
    profile.setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile.setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    profile.setSpellCheckEnabled(false);
    profile.setUrlRequestInterceptor(&interceptor);
    HardenSettings(profile.settings());
    SingleDocumentPage web(&profile, url);
    HardenSettings(web.settings());

    bool loaded = false, loadedOk = false;
    QObject::connect(&web, &QWebEnginePage::loadFinished, [&](bool ok) {
        if (loaded) return;
        loaded = true;
        loadedOk = ok;
    });
    web.load(url);
    if (!WaitUntil(loaded, options.loadTimeout)) return Outcome(HtmlOutcome::NotReady);
    if (!loadedOk) return Outcome(HtmlOutcome::Failed, t::kLoadFailed.str() + htmlPath);

    bool printed = false, printedOk = false;
    QObject::connect(&web, &QWebEnginePage::pdfPrintingFinished, [&](const QString&, bool ok) {
        printed = true;
        printedOk = ok;
    });
    const QPageLayout layout(
        QPageSize(QSizeF(options.pageWidth, options.pageHeight), QPageSize::Point, QString(),
                  QPageSize::FuzzyMatch),
        QPageLayout::Portrait,
        QMarginsF(options.margin, options.margin, options.margin, options.margin),
        QPageLayout::Point);
    web.printToPdf(QString::fromStdString(pdfPath), layout);
    if (!WaitUntil(printed, options.printTimeout)) {
        return Outcome(HtmlOutcome::Failed, t::kPrintTimedOut.str());
    }
    if (!printedOk || !QFileInfo(QString::fromStdString(pdfPath)).isFile()) {
        return Outcome(HtmlOutcome::Failed, t::kPrintFailed.str());
    }
    return Outcome(HtmlOutcome::Printed);
}

}  // namespace vellora::html
