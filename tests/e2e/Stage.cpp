#include "tests/e2e/Stage.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "main/core/AccountRecord.h"
#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/core/Rules.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "tests/support/Pdf.h"

namespace e2e {
namespace fs = std::filesystem;
namespace st = vellora::texts;
namespace mt = vellora::core::texts;

namespace {

std::string Base64Lines(const std::string& in) {
    static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t col = 0;
    for (std::size_t i = 0; i < in.size(); i += 3) {
        const unsigned b0 = static_cast<unsigned char>(in[i]);
        const unsigned b1 = i + 1 < in.size() ? static_cast<unsigned char>(in[i + 1]) : 0;
        const unsigned b2 = i + 2 < in.size() ? static_cast<unsigned char>(in[i + 2]) : 0;
        out += abc[b0 >> 2];
        out += abc[((b0 & 3) << 4) | (b1 >> 4)];
        out += i + 1 < in.size() ? abc[((b1 & 15) << 2) | (b2 >> 6)] : '=';
        out += i + 2 < in.size() ? abc[b2 & 63] : '=';
        if ((col += 4) >= 76) {
            out += "\r\n";
            col = 0;
        }
    }
    if (col) out += "\r\n";
    return out;
}

std::string PartHeaders(const Attachment& a) {
    std::string h = "Content-Type: " + a.type;
    if (!a.name.empty()) h += "; name=\"" + a.name + "\"";
    h += "\r\nContent-Transfer-Encoding: base64\r\n";
    if (!a.contentId.empty()) {
        h += "Content-ID: <" + a.contentId + ">\r\nContent-Disposition: inline";
    } else {
        h += "Content-Disposition: attachment";
    }
    if (!a.name.empty()) h += "; filename=\"" + a.name + "\"";
    return h + "\r\n\r\n";
}

std::string Flat(const std::string& kind, const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<office:document "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
           "xmlns:svg=\"urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0\" "
           "xmlns:presentation=\"urn:oasis:names:tc:opendocument:xmlns:presentation:1.0\" "
           "office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument." +
           kind + "\"><office:body>" + body + "</office:body></office:document>\n";
}

std::string Convert(const std::string& source, const std::string& format,
                    const std::string& profile) {
    const std::string folder = source.substr(0, source.find_last_of('/'));
    for (int attempt = 0; attempt < 3; ++attempt) {  // a new profile restarts once
        const int rc =
            vtest::Run({"/usr/lib/libreoffice/program/soffice.bin",
                        "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                        "--nologo", "--convert-to", format, "--outdir", folder, source});
        if (rc != 81) break;
    }
    const std::string out = source.substr(0, source.rfind('.') + 1) + format;
    if (!vtest::Exists(out)) throw std::runtime_error("office conversion failed: " + out);
    return vtest::ReadFile(out);
}

}  // namespace

std::string MimeMail(const std::string& subject, const std::string& text, const std::string& html,
                     const std::vector<Attachment>& attachments) {
    static int serial = 0;
    const std::string head =
        "From: Sender Example <sender@example.org>\r\n"
        "To: Anna Example <anna@example.org>\r\n"
        "Subject: " +
        subject +
        "\r\n"
        "Message-ID: <e2e" +
        std::to_string(++serial) +
        "@example.org>\r\n"
        "Date: Tue, 08 Dec 2026 04:00:00 +0000\r\nMIME-Version: 1.0\r\n";
    std::vector<Attachment> inlines, files;
    for (const Attachment& a : attachments) (a.contentId.empty() ? files : inlines).push_back(a);
    if (html.empty() && files.empty())
        return head + "Content-Type: text/plain; charset=utf-8\r\n\r\n" + text + "\r\n";
    std::string body;
    if (!html.empty()) {
        const std::string rel = "rel-boundary-" + std::to_string(serial);
        body += "Content-Type: multipart/related; boundary=\"" + rel + "\"\r\n\r\n--" + rel +
                "\r\nContent-Type: text/html; charset=utf-8\r\n\r\n" + html + "\r\n";
        for (const Attachment& a : inlines)
            body += "--" + rel + "\r\n" + PartHeaders(a) + Base64Lines(a.bytes);
        body += "--" + rel + "--\r\n";
    } else {
        body += "Content-Type: text/plain; charset=utf-8\r\n\r\n" + text + "\r\n";
    }
    if (files.empty()) return head + body;
    const std::string mix = "mix-boundary-" + std::to_string(serial);
    std::string out = head + "Content-Type: multipart/mixed; boundary=\"" + mix + "\"\r\n\r\n--" +
                      mix + "\r\n" + body;
    for (const Attachment& a : files)
        out += "--" + mix + "\r\n" + PartHeaders(a) + Base64Lines(a.bytes);
    return out + "--" + mix + "--\r\n";
}

SampleDocs MakeSampleDocs(const std::string& work) {
    fs::create_directories(work);
    SampleDocs d;
    d.pdf = vtest::MakePdf({"E2EPDFMARKER first page", "E2EPDFMARKER second page"});
    const std::string jpeg = work + "/photo.jpg";
    vtest::Run({"/usr/bin/convert", "-size", "640x480", "xc:skyblue", "-fill", "navy", "-draw",
                "rectangle 80,80 560,400", jpeg});
    d.jpeg = vtest::ReadFile(jpeg);
    if (d.jpeg.empty()) throw std::runtime_error("no sample picture (ImageMagick)");
    const std::string profile = work + "/.profile";
    vtest::WriteFile(work + "/word.fodt",
                     Flat("text", "<office:text><text:p>E2EWORDMARKER</text:p></office:text>"));
    vtest::WriteFile(
        work + "/sheet.fods",
        Flat("spreadsheet",
             "<office:spreadsheet><table:table table:name=\"S1\"><table:table-row>"
             "<table:table-cell office:value-type=\"string\"><text:p>E2ESHEETMARKER</text:p>"
             "</table:table-cell></table:table-row></table:table></office:spreadsheet>"));
    vtest::WriteFile(work + "/slides.fodp",
                     Flat("presentation",
                          "<office:presentation><draw:page draw:name=\"s1\"><draw:frame "
                          "svg:x=\"2cm\" svg:y=\"2cm\" svg:width=\"14cm\" svg:height=\"3cm\">"
                          "<draw:text-box><text:p>E2ESLIDEMARKER</text:p></draw:text-box>"
                          "</draw:frame></draw:page></office:presentation>"));
    d.docx = Convert(work + "/word.fodt", "docx", profile);
    d.xlsx = Convert(work + "/sheet.fods", "xlsx", profile);
    d.pptx = Convert(work + "/slides.fodp", "pptx", profile);
    d.html = "<html><body><h1>E2EHTMLATTMARKER</h1><p>An attached page.</p></body></html>";
    return d;
}

Stage::Stage(Config config, bool withConvert) : config_(std::move(config)) {
    dovecot_ = std::make_unique<vtest::Dovecot>(config_.dovecot);
    dovecot_->AddUser(config_.user, config_.password);
    cups_ = std::make_unique<vtest::Cups>();
    cups_->AddPrinter(config_.office);
    cups_->AddPrinter(config_.back);
    cups_->SetServerDefault(config_.office);
    if (withConvert) {
        convert_ = std::make_unique<vtest::ConvertService>();
        if (config_.convertUrl.empty()) config_.convertUrl = convert_->url();
    }
    MakeInstallation();
}

Stage::~Stage() {
    StopVellora();
}

void Stage::MakeInstallation() {
    install_ = std::make_unique<vtest::TempDir>("e2e-install");
    // Hard links where the file system allows them, copies otherwise: the folder holds the
    // programs themselves, as an installation would.
    for (const std::string& name : vtest::ListDir(vtest::BinDir())) {
        const std::string from = vtest::BinDir() + "/" + name;
        const std::string to = install_->path() + "/" + name;
        struct stat sb {};
        if (::stat(from.c_str(), &sb) != 0 || !S_ISREG(sb.st_mode)) continue;
        if (::link(from.c_str(), to.c_str()) == 0) continue;
        fs::copy_file(from, to, fs::copy_options::overwrite_existing);
        fs::permissions(to, static_cast<fs::perms>(sb.st_mode & 07777));
    }
}

void Stage::WriteSettings() {
    using basINI_IO::WriteSettingNumber;
    using basINI_IO::WriteSettingText;
    const std::string path = settings();
    const std::string g = st::kGeneralSection;
    WriteSettingText(std::string("Anna Example"), path, g, st::kKeyUserName.str());
    WriteSettingText(config_.user + "@example.org", path, g, st::kKeyUserEmail.str());
    WriteSettingNumber(config_.intervalMinutes, path, g, st::kKeyInterval);
    WriteSettingNumber(config_.checkAtStartup ? 1 : 0, path, g, st::kKeyCheckAtStart);
    WriteSettingNumber(config_.logStatus ? 1 : 0, path, g, st::kKeyLogStatus);
    WriteSettingText(config_.office, path, g, st::kKeyAppPrinter.str());
    WriteSettingNumber(config_.usePdfViewer ? 1 : 0, path, g, st::kKeyUseViewer);
    WriteSettingNumber(config_.office2007 ? 1 : 0, path, g, st::kKeyOffice2007);
    WriteSettingNumber(config_.notifyOnError ? 1 : 0, path, g, st::kKeyNotifyError);
    WriteSettingNumber(config_.notifyOnSuccess ? 1 : 0, path, g, st::kKeyNotifySuccess);
    if (!config_.notifyEmail.empty())
        WriteSettingText(config_.notifyEmail, path, g, st::kKeyNotifyEmail.str());
    if (!config_.convertUrl.empty())
        WriteSettingText(config_.convertUrl, path, st::kServicesSection, st::kKeyConvertUrl.str());
    if (!config_.notifyUrl.empty())
        WriteSettingText(config_.notifyUrl, path, st::kServicesSection, st::kKeyNotifyUrl.str());

    vellora::core::AccountRecord a;
    a.id = 1;
    a.imap = true;
    a.server = "127.0.0.1";
    a.port = dovecot_->imapPort();
    a.user = config_.user;
    a.password = config_.password;
    a.lastId = 0;  // every message in the mailbox is new
    vellora::core::SaveAccounts(path, {a});

    vellora::core::RuleBook book;
    vellora::core::RuleRecord def = vellora::core::DefaultRule();
    def.printBody = config_.printBodies;
    def.printAtt = true;
    def.printer = config_.office;
    vellora::core::RuleRecord back;
    back.id = 1;
    back.name = "Back office";
    back.field[0] = mt::kFieldSubject;
    back.condition[0] = mt::kCondContains;
    back.value[0] = config_.backSubject;
    back.printBody = true;
    back.printAtt = true;
    back.printer = config_.back;
    back.loaded = true;
    book.rules = {def, back};
    book.highestId = 1;
    vellora::core::SaveRules(book, path, nullptr);
}

vtest::Process::Options Stage::VelloraOptions(int tickMs, int checkSeconds) const {
    vtest::Process::Options o = cups_->ProcessOptions();
    o.env["VELLORA_FOLDER"] = folder();
    o.env["QTWEBENGINE_DISABLE_SANDBOX"] = "1";
    o.env["XDG_CONFIG_HOME"] = folder() + "/config";
    if (tickMs > 0) o.env["VELLORA_TEST_TICK_MS"] = std::to_string(tickMs);
    if (checkSeconds > 0) o.env["VELLORA_TEST_CHECK_SECONDS"] = std::to_string(checkSeconds);
    o.workDir = folder();
    o.stdoutFile = folder() + "/vellora.out";
    return o;
}

void Stage::StartVellora(int tickMs, int checkSeconds, bool offscreen) {
    vtest::Process::Options o = VelloraOptions(tickMs, checkSeconds);
    if (offscreen) o.env["QT_QPA_PLATFORM"] = "offscreen";
    vellora_ = std::make_unique<vtest::Process>(std::vector<std::string>{folder() + "/vellora"}, o);
}

void Stage::StopVellora() {
    if (vellora_) vellora_->stop();
    vellora_.reset();
}

std::string Stage::StatusFile() const {
    std::string all;
    for (const std::string& name : vtest::ListDir(folder()))
        if (name.rfind("status-", 0) == 0) all += vtest::ReadFile(folder() + "/" + name);
    return all;
}

std::string Stage::Log() const {
    const std::string path = folder() + "/vellora.log";
    return vtest::Exists(path) ? vtest::ReadFile(path) : std::string();
}

int Stage::StoredJobs() const {
    const std::string text = vtest::ReadFile(settings());
    const std::string section = "[" + st::kJobSection.str() + "]";
    auto at = text.find(section);
    if (at == std::string::npos) return 0;
    int n = 0;
    std::size_t line = text.find('\n', at);
    while (line != std::string::npos && line + 1 < text.size() && text[line + 1] != '[') {
        const std::size_t next = text.find('\n', line + 1);
        const std::string l =
            text.substr(line + 1, next == std::string::npos ? next : next - line - 1);
        if (l.find('=') != std::string::npos) ++n;
        line = next;
    }
    return n;
}

}  // namespace e2e
