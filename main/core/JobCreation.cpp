#include "main/core/JobCreation.h"

#include <stdexcept>

#include "main/core/BodyPage.h"
#include "main/core/MainTexts.h"
#include "platform/mail/MailMessage.h"
#include "platform/regex/Regex.h"
#include "shared/AppFolder.h"
#include "shared/PrivateFiles.h"
#include "shared/Texts.h"
#include "shared/modJob.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace t = vellora::texts;
namespace mt = vellora::core::texts;

namespace {

bool AsciiAlnum(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    return s;
}

std::string ReplaceAll(std::string text, const std::string& what, const std::string& with) {
    if (what.empty()) return text;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size()))
        text.replace(at, what.size(), with);
    return text;
}

}  // namespace

std::string SafeExtension(const std::string& name) {
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return {};
    const std::string ext = name.substr(dot + 1);
    if (ext.empty() || ext.size() > kMaxExtension) return {};
    for (char c : ext)
        if (!AsciiAlnum(c)) return {};
    return "." + ext;
}

std::string BodyPagePath(const std::string& tempFolder, int accountId,
                         const std::string& messageId) {
    std::string id;
    for (char c : messageId) id += AsciiAlnum(c) ? c : '_';
    return JoinPath(tempFolder, mt::kPageAccountPrefix.str() + std::to_string(accountId) + "_" +
                                    id + mt::kPageExtension.str());
}

JobCreator::JobCreator(JobQueues& jobs, const AttachmentLists& lists, const Options& options,
                       StatusSink& sink, std::string programFolder, std::string tempFolder)
    : jobs_(jobs),
      lists_(lists),
      options_(options),
      sink_(sink),
      programFolder_(std::move(programFolder)),
      tempFolder_(std::move(tempFolder)) {}

JobCreator::~JobCreator() = default;

void JobCreator::LogTrap(const std::string& prefix, const std::string& what) {
    try {
        modWriteLog::WriteLog(prefix + what);
    } catch (const modWriteLog::LogError&) {
    }
}

void JobCreator::BodyStep(const mail::MailMessage& m, int accountId, const std::string& messageId,
                          const std::string& printer) {
    try {
        MakePrivateFolder(tempFolder_);  // gone since start-up: made again, for its owner only
        const std::string path = BodyPagePath(tempFolder_, accountId, messageId);
        BuildBodyPage(m, path, options_, programFolder_);
        CreateJobForFile(path, modJob::NewJobID(), "", false, printer, m.Subject());
    } catch (const std::exception& e) {
        LogTrap(mt::kLogBodyStep, e.what());
    }
}

void JobCreator::AttachmentStep(const mail::MailMessage& m, const std::string& printer) {
    MakePrivateFolder(tempFolder_);
    // One message must not fill the queue for hours (2,000 tiny attachments, 2,000 jobs):
    // past the cap nothing more of it is queued (its attached messages' parts included),
    // and that is said once.
    const std::int32_t cap = AttachmentCapFrom(options_.attachmentCap);
    left_ = cap;
    capReached_ = false;
    Attachments(m, printer, m.Subject(), 0);
    if (capReached_) TooManyAttachments(m, cap);
}

void JobCreator::Attachments(const mail::MailMessage& m, const std::string& printer,
                             const std::string& subject, int depth) {
    const std::int32_t count = m.AttachmentCount();
    for (std::int32_t i = 1; i <= count && i <= INT16_MAX; ++i) {
        if (left_ <= 0) {
            capReached_ = true;
            return;
        }
        --left_;
        try {
            const auto index = static_cast<std::int16_t>(i);
            const std::string name = m.AttachmentName(index);
            const std::string jobId = modJob::NewJobID();
            if (depth < kMaxAttachedMessageDepth) {
                if (const auto inner = m.AttachedMessage(index)) {
                    AttachedMessage(*inner, name, jobId, printer, subject, depth);
                    continue;
                }
            }
            const std::string ext = SafeExtension(name);
            if (ext.empty()) {
                NoExtension(name, jobId, printer, subject);
                continue;
            }
            const std::string path = JoinPath(tempFolder_, jobId + ext);
            m.SaveAttachment(path, index);  // a failed save shows as a failed job later
            CreateJobForFile(path, jobId, name, true, printer, subject);
        } catch (const std::exception& e) {
            LogTrap(mt::kLogAttachmentStep, e.what());
        }
    }
}

void JobCreator::TooManyAttachments(const mail::MailMessage& m, std::int32_t cap) {
    const std::string text = mt::kTooManyAtt1.str() + m.Subject() + mt::kTooManyAtt2.str() +
                             std::to_string(cap) + mt::kTooManyAtt3.str() + std::to_string(cap) +
                             mt::kTooManyAtt4.str();
    sink_.LogErrorStatus(text);
    if (options_.notifyOnError)
        sink_.SendNotification(mt::kNotifyKindError, mt::kTitleTooManyAttachments, text);
}

// Printed like the message it came in: its own page (headers, body, inline pictures), then
// its own attachments.
void JobCreator::AttachedMessage(const mail::MailMessage& inner, const std::string& name,
                                 const std::string& jobId, const std::string& printer,
                                 const std::string& subject, int depth) {
    const std::string path = JoinPath(tempFolder_, jobId + mt::kPageExtension.str());
    BuildBodyPage(inner, path, options_, programFolder_);
    CreateJobForFile(path, jobId, name, true, printer, subject);
    Attachments(inner, printer, subject, depth + 1);
}

void JobCreator::NoExtension(const std::string& name, const std::string& jobId,
                             const std::string& printer, const std::string& subject) {
    if (options_.printAttErrorPage) {
        std::string page = mt::kErrorPageTemplate;
        page = ReplaceAll(page, mt::kErrorPageNamePlaceholder, EscapeHtml(name));
        page = ReplaceAll(page, mt::kErrorPageSubjectPlaceholder, EscapeHtml(subject));
        // One page per job: a shared file would be overwritten, or deleted after the first
        // job printed, while a second error-page job still waits for it.
        const std::string path = JoinPath(tempFolder_, jobId + mt::kErrorPageSuffix.str());
        if (!WritePrivateFile(path, page)) throw std::runtime_error("cannot write " + path);
        CreateJobForFile(path, jobId, "", false, printer, subject);
    } else if (options_.notifyOnError) {
        sink_.SendNotification(mt::kNotifyKindError, mt::kTitleAttachmentError,
                               mt::kAttErrorBody1.str() + name + mt::kAttErrorBody2.str() +
                                   subject + mt::kAttErrorBody3.str());
    }
}

bool JobCreator::ListHit(Family family, const std::string& upperExt) {
    for (const std::string& pattern : lists_.Of(family)) {
        if (pattern.empty()) continue;
        auto it = patterns_.find(pattern);
        if (it == patterns_.end())
            it = patterns_.emplace(pattern, std::make_unique<regex::Regex>(pattern)).first;
        // A broken user pattern simply matches nothing; the other patterns still count.
        if (it->second->Search(upperExt) == regex::MatchOutcome::Match) return true;
    }
    return false;
}

std::string JobCreator::HelperFor(const std::string& ext) {
    const std::string e = Upper(ext);
    if (ListHit(Family::Word, e)) return t::kScribletExe;
    if (ListHit(Family::Sheet, e)) return t::kGridletExe;
    if (ListHit(Family::Slides, e)) return t::kSlidorExe;
    if (ListHit(Family::Html, e)) return t::kWebbinExe;
    if (e == PdfExtension()) return t::kDocuvanExe;
    if (ListHit(Family::Picture, e)) return t::kPictorExe;
    return {};
}

bool JobCreator::CreateJobForFile(const std::string& path, const std::string& jobId,
                                  const std::string& docName, bool isAttachment,
                                  const std::string& printer, const std::string& subject) {
    try {
        const auto dot = path.rfind('.');
        const std::string ext = dot == std::string::npos ? path : path.substr(dot + 1);
        const std::string jobArg = jobId + "@\"" + path + "\"";
        const std::string helper = HelperFor(ext);
        if (helper.empty()) {
            sink_.LogMailStatus(mt::kMailUnhandledFormat.str() + jobArg);
            if (options_.notifyOnError)
                sink_.SendNotification(mt::kNotifyKindError, mt::kTitleUnhandledDoc,
                                       jobArg + "\r\n" + subject);
            return false;
        }
        std::string cmdLine = JoinPath(programFolder_, helper) + " " + jobArg;
        if (helper == t::kPictorExe.str()) cmdLine += " " + ext;
        auto job = std::make_shared<clsJob>();
        job->JobID = jobId;
        job->Subject = subject;
        job->isAtt = isAttachment ? -1 : 0;
        job->DocName = docName;
        job->CmdLine = cmdLine;
        job->Status = modJob::Status().queued;
        job->Printer = printer;
        job->JobDoc = jobArg;
        jobs_.AddJob(job, jobId);
        modJob::WriteJobRecord(modJob::Status().awaiting, jobId);
        return true;
    } catch (const std::exception& e) {
        LogTrap(mt::kLogCreateJob, e.what());
        return false;
    }
}

}  // namespace vellora::core
