// Turning a matched message into print jobs: the body page and each attachment become a
// file in the temporary folder, and each file a job for the helper its extension calls for.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "main/core/AttachmentTypes.h"
#include "main/core/JobQueue.h"
#include "main/core/Options.h"
#include "main/core/Seams.h"

namespace vellora::regex {
class Regex;
}
namespace vellora::mail {
class MailMessage;
}

namespace vellora::core {

// The extension of an attachment name, dot included, when it is safe to put into a file
// name (ASCII letters and digits, at most kMaxExtension of them); otherwise empty.
inline constexpr std::size_t kMaxExtension = 10;
std::string SafeExtension(const std::string& name);

// A message attached to a message (a mail forwarded as attachment) prints as a page of its own,
// and its attachments follow, down to this many levels; a deeper one stays an ordinary
// attachment, so a hostile nest of messages cannot multiply the jobs.
inline constexpr int kMaxAttachedMessageDepth = 3;

// Body page name: account id and message id keep the pages of different accounts apart.
std::string BodyPagePath(const std::string& tempFolder, int accountId,
                         const std::string& messageId);

class JobCreator {
  public:
    // programFolder: where the helpers and the logo are; tempFolder: where documents go.
    JobCreator(JobQueues& jobs, const AttachmentLists& lists, const Options& options,
               StatusSink& sink, std::string programFolder, std::string tempFolder);
    ~JobCreator();

    void BodyStep(const mail::MailMessage& message, int accountId, const std::string& messageId,
                  const std::string& printer);
    // Queues at most the options' attachment cap of the message's attachments, in order.
    void AttachmentStep(const mail::MailMessage& message, const std::string& printer);

    // Chooses the helper, queues the job and writes its first store value. False (after a
    // mail line, a log line or a notification) when no job was queued.
    bool CreateJobForFile(const std::string& path, const std::string& jobId,
                          const std::string& docName, bool isAttachment, const std::string& printer,
                          const std::string& subject);

    // The helper file name for an extension, empty when no helper prints it.
    std::string HelperFor(const std::string& extension);

  private:
    bool ListHit(Family family, const std::string& upperExt);
    void TooManyAttachments(const mail::MailMessage& message, std::int32_t cap);
    // The attachments of a message found `depth` attached messages down; jobs carry the
    // subject of the message that arrived.
    void Attachments(const mail::MailMessage& message, const std::string& printer,
                     const std::string& subject, int depth);
    void AttachedMessage(const mail::MailMessage& inner, const std::string& name,
                         const std::string& jobId, const std::string& printer,
                         const std::string& subject, int depth);
    void NoExtension(const std::string& name, const std::string& jobId, const std::string& printer,
                     const std::string& subject);
    void LogTrap(const std::string& prefix, const std::string& what);

    JobQueues& jobs_;
    const AttachmentLists& lists_;
    const Options& options_;
    StatusSink& sink_;
    std::string programFolder_, tempFolder_;
    std::map<std::string, std::unique_ptr<regex::Regex>, std::less<>> patterns_;
    std::int32_t left_ = 0;    // attachments the message being stepped through may still queue
    bool capReached_ = false;  // ... and one more wanted to
};

}  // namespace vellora::core
