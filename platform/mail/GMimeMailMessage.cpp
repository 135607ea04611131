#include "platform/mail/GMimeMailMessage.h"

#include <fcntl.h>
#include <gmime/gmime.h>

#include <algorithm>
#include <cctype>
#include <mutex>

#include "platform/mail/MimeText.h"
#include "shared/Literal.h"

namespace vellora::mail {
namespace {

// Deeper structures are not followed: no real message nests this far, and a hostile one must
// not exhaust the stack.
constexpr int kMaxDepth = 64;

GMimeParserOptions* Options() {
    static GMimeParserOptions* options = [] {
        g_mime_init();
        GMimeParserOptions* o = g_mime_parser_options_new();
        // Raw 8-bit header bytes: UTF-8 where they are valid, else the usual Western charset.
        static const std::string utf8 = VL("UTF-8"), western = VL("windows-1252");
        const char* charsets[] = {utf8.c_str(), western.c_str(), nullptr};
        g_mime_parser_options_set_fallback_charsets(o, charsets);
        g_mime_parser_options_set_rfc2047_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_address_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        g_mime_parser_options_set_parameter_compliance_mode(o, GMIME_RFC_COMPLIANCE_LOOSE);
        return o;
    }();
    return options;
}

std::string Str(const char* s) {
    return s ? ValidUtf8(s) : std::string();
}

std::string Lower(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string MimeType(GMimeObject* object) {
    GMimeContentType* type = g_mime_object_get_content_type(object);
    if (!type) return VL("application/octet-stream");
    char* text = g_mime_content_type_get_mime_type(type);
    std::string out = Lower(Str(text));
    g_free(text);
    return out;
}

bool IsType(GMimeObject* object, const std::string& type, const std::string& subtype) {
    GMimeContentType* ct = g_mime_object_get_content_type(object);
    return ct && g_mime_content_type_is_type(ct, type.c_str(), subtype.c_str());
}

std::string FileName(GMimeObject* object) {
    if (GMIME_IS_PART(object)) return Str(g_mime_part_get_filename(GMIME_PART(object)));
    const char* name =
        g_mime_object_get_content_disposition_parameter(object, VL("filename").c_str());
    if (!name) name = g_mime_object_get_content_type_parameter(object, VL("name").c_str());
    return Str(name);
}

bool IsAttachmentDisposition(GMimeObject* object) {
    GMimeContentDisposition* d = g_mime_object_get_content_disposition(object);
    return d && g_mime_content_disposition_is_attachment(d);
}

// A text part that reads as the message's body rather than as a file.
bool IsBodyText(GMimeObject* object, bool* html) {
    if (!GMIME_IS_PART(object) || IsAttachmentDisposition(object) || !FileName(object).empty()) {
        return false;
    }
    *html = IsType(object, VL("text"), VL("html"));
    return *html || IsType(object, VL("text"), VL("plain"));
}

bool ContainsBodyText(GMimeObject* object, bool wantHtml, int depth) {
    if (depth > kMaxDepth) return false;
    bool html = false;
    if (IsBodyText(object, &html)) return html == wantHtml;
    if (!GMIME_IS_MULTIPART(object)) return false;
    GMimeMultipart* mp = GMIME_MULTIPART(object);
    for (int i = 0; i < g_mime_multipart_get_count(mp); ++i) {
        if (ContainsBodyText(g_mime_multipart_get_part(mp, i), wantHtml, depth + 1)) return true;
    }
    return false;
}

std::string Decoded(GMimeObject* object) {
    if (!GMIME_IS_PART(object)) return {};
    GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
    if (!content) return {};
    GMimeStream* mem = g_mime_stream_mem_new();
    g_mime_data_wrapper_write_to_stream(content, mem);
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(mem));
    std::string out(reinterpret_cast<const char*>(bytes->data), bytes->len);
    g_object_unref(mem);
    return out;
}

void AddAddresses(InternetAddressList* list, std::vector<GMimeMailMessage::Address>& out,
                  int depth = 0) {
    if (!list || depth > 4) return;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(a)) {
            AddAddresses(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a)), out,
                         depth + 1);
        } else if (INTERNET_ADDRESS_IS_MAILBOX(a)) {
            out.push_back({Str(internet_address_get_name(a)),
                           Str(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)))});
        }
    }
}

std::int32_t WriteObject(GMimeObject* object, const std::string& path) {
    GError* error = nullptr;
    GMimeStream* file =
        g_mime_stream_fs_open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600, &error);
    if (!file) {
        if (error) g_error_free(error);
        return 1;
    }
    gssize written = -1;
    if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        written = inner ? g_mime_object_write_to_stream(GMIME_OBJECT(inner), nullptr, file) : -1;
    } else if (GMIME_IS_PART(object)) {
        GMimeDataWrapper* content = g_mime_part_get_content(GMIME_PART(object));
        written = content ? g_mime_data_wrapper_write_to_stream(content, file) : 0;
    }
    const int flushed = g_mime_stream_flush(file);
    const int closed = g_mime_stream_close(file);
    g_object_unref(file);
    return (written < 0 || flushed != 0 || closed != 0) ? 1 : 0;
}

const std::string* At(const std::vector<GMimeMailMessage::Address>& list, std::int16_t index,
                      bool name) {
    if (index < 1 || static_cast<std::size_t>(index) > list.size()) return nullptr;
    return name ? &list[index - 1].name : &list[index - 1].address;
}

}  // namespace

GMimeMailMessage::GMimeMailMessage() {
    Options();
}

GMimeMailMessage::~GMimeMailMessage() {
    Clear();
}

void GMimeMailMessage::Clear() {
    if (message_) g_object_unref(message_);
    message_ = nullptr;
    subject_.clear();
    body_.clear();
    charset_.clear();
    html_ = haveBody_ = false;
    from_ = {};
    to_.clear();
    cc_.clear();
    candidates_.clear();
    attachments_.clear();
    inline_.clear();
}

void GMimeMailMessage::Parse(const std::string& raw) {
    Clear();
    GMimeStream* stream = g_mime_stream_mem_new_with_buffer(raw.data(), raw.size());
    GMimeParser* parser = g_mime_parser_new_with_stream(stream);
    message_ = g_mime_parser_construct_message(parser, Options());
    g_object_unref(parser);
    g_object_unref(stream);
    if (message_) Read();
}

void GMimeMailMessage::Read() {
    subject_ = Str(g_mime_message_get_subject(message_));
    std::vector<Address> from;
    AddAddresses(g_mime_message_get_from(message_), from);
    if (from.empty()) AddAddresses(g_mime_message_get_sender(message_), from);
    if (!from.empty()) from_ = from.front();
    AddAddresses(g_mime_message_get_to(message_), to_);
    AddAddresses(g_mime_message_get_cc(message_), cc_);

    if (GMimeObject* top = g_mime_message_get_mime_part(message_)) Walk(top, 0);
    SortParts(std::move(candidates_));
}

void GMimeMailMessage::Walk(GMimeObject* object, int depth) {
    if (depth > kMaxDepth) return;
    if (GMIME_IS_MULTIPART(object)) {
        GMimeMultipart* mp = GMIME_MULTIPART(object);
        const int n = g_mime_multipart_get_count(mp);
        if (!haveBody_ && IsType(object, VL("multipart"), VL("alternative"))) {
            // The richest alternative is the body; the others are the same text again.
            int chosen = -1;
            for (int i = 0; i < n; ++i) {
                if (ContainsBodyText(g_mime_multipart_get_part(mp, i), true, depth + 1)) chosen = i;
            }
            for (int i = 0; i < n && chosen < 0; ++i) {
                if (ContainsBodyText(g_mime_multipart_get_part(mp, i), false, depth + 1))
                    chosen = i;
            }
            if (chosen >= 0) {
                Walk(g_mime_multipart_get_part(mp, chosen), depth + 1);
                return;
            }
        }
        for (int i = 0; i < n; ++i) Walk(g_mime_multipart_get_part(mp, i), depth + 1);
        return;
    }
    bool html = false;
    if (!haveBody_ && IsBodyText(object, &html)) {
        TakeBody(object, html);
        return;
    }
    if (GMIME_IS_PART(object) || GMIME_IS_MESSAGE_PART(object)) {
        candidates_.push_back({object, FileName(object), MimeType(object),
                               Str(g_mime_object_get_content_id(object))});
    }
}

void GMimeMailMessage::TakeBody(GMimeObject* part, bool html) {
    haveBody_ = true;
    html_ = html;
    charset_ = Str(g_mime_object_get_content_type_parameter(part, VL("charset").c_str()));
    body_ = ToUtf8(Decoded(part), charset_);
}

void GMimeMailMessage::SortParts(std::vector<Part> candidates) {
    const std::string lowerBody = html_ ? Lower(body_) : std::string();
    for (auto& part : candidates) {
        const bool shown = html_ && !part.contentId.empty() &&
                           lowerBody.find(VL("cid:") + Lower(part.contentId)) != std::string::npos;
        std::vector<Part>& list = shown ? inline_ : attachments_;
        std::string name = SafeFileName(part.name);
        const std::string number = std::to_string(list.size() + 1);
        if (name.empty() && GMIME_IS_MESSAGE_PART(part.object)) {
            GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(part.object));
            const std::string subject =
                SafeFileName(inner ? Str(g_mime_message_get_subject(inner)) : "");
            name = (subject.empty() ? VL("message") + number : subject) + VL(".eml");
        }
        if (name.empty()) {
            name = (shown ? VL("inline") : VL("attachment")) + number + ExtensionForType(part.type);
        }
        part.name = name;
        list.push_back(std::move(part));
    }
}

std::int32_t GMimeMailMessage::AttachmentCount() const {
    return static_cast<std::int32_t>(attachments_.size());
}

std::string GMimeMailMessage::AttachmentName(std::int16_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > attachments_.size()) return {};
    return attachments_[index - 1].name;
}

std::string GMimeMailMessage::AttachmentType(std::int16_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > attachments_.size()) return {};
    return attachments_[index - 1].type;
}

std::int32_t GMimeMailMessage::SaveAttachment(const std::string& path, std::int16_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > attachments_.size()) return 1;
    return WriteObject(attachments_[index - 1].object, path);
}

std::string GMimeMailMessage::ToName(std::int16_t index) const {
    const auto* s = At(to_, index, true);
    return s ? *s : std::string();
}
std::string GMimeMailMessage::ToAddress(std::int16_t index) const {
    const auto* s = At(to_, index, false);
    return s ? *s : std::string();
}
std::string GMimeMailMessage::CcName(std::int16_t index) const {
    const auto* s = At(cc_, index, true);
    return s ? *s : std::string();
}
std::string GMimeMailMessage::CcAddress(std::int16_t index) const {
    const auto* s = At(cc_, index, false);
    return s ? *s : std::string();
}

std::vector<InlinePart> GMimeMailMessage::InlineParts() const {
    std::vector<InlinePart> out;
    for (const auto& p : inline_) out.push_back({p.contentId, p.name, p.type});
    return out;
}

std::unique_ptr<MailMessage> GMimeMailMessage::AttachedMessage(std::int16_t index) const {
    if (index < 1 || static_cast<std::size_t>(index) > attachments_.size()) return nullptr;
    GMimeObject* object = attachments_[index - 1].object;
    if (!GMIME_IS_MESSAGE_PART(object)) return nullptr;
    GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
    if (!inner) return nullptr;
    // The parsed tree is shared, not parsed again: the inner message lives as long as either.
    auto attached = std::make_unique<GMimeMailMessage>();
    attached->message_ = GMIME_MESSAGE(g_object_ref(inner));
    attached->Read();
    return attached;
}

std::int32_t GMimeMailMessage::SaveInlinePart(const std::string& path, std::size_t index) const {
    if (index >= inline_.size()) return 1;
    return WriteObject(inline_[index].object, path);
}

}  // namespace vellora::mail

namespace vellora::mail {

std::vector<std::string> GMimeMailMessage::HeaderValues(const std::string& name) const {
    std::vector<std::string> values;
    if (!message_) return values;
    GMimeHeaderList* list = g_mime_object_get_header_list(GMIME_OBJECT(message_));
    const int count = list ? g_mime_header_list_get_count(list) : 0;
    const std::string want = Lower(name);
    for (int i = 0; i < count; ++i) {
        GMimeHeader* header = g_mime_header_list_get_header_at(list, i);
        if (!header || Lower(Str(g_mime_header_get_name(header))) != want) continue;
        // The raw value, unfolded: the field is ASCII by its grammar, and decoding encoded
        // words could only make a forged one look like something else.
        std::string value = Str(g_mime_header_get_raw_value(header));
        std::string flat;
        for (char c : value) flat += (c == '\r' || c == '\n') ? ' ' : c;
        values.push_back(flat);
    }
    return values;
}

}  // namespace vellora::mail
