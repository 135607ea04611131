#include "helpers/frame/CommandLine.h"

#include "shared/Literal.h"

namespace vellora::helper {
namespace {

std::string PictorFirstPiece(std::string_view text) {
    return Split(text, "\" ").front();
}

}  // namespace

std::vector<std::string> Split(std::string_view text, std::string_view sep) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (;;) {
        const auto at = text.find(sep, from);
        if (at == std::string_view::npos) break;
        pieces.emplace_back(text.substr(from, at - from));
        from = at + sep.size();
    }
    pieces.emplace_back(text.substr(from));
    return pieces;
}

std::string RemoveQuotes(std::string_view text) {
    std::string out;
    for (char c : text)
        if (c != '"') out += c;
    return out;
}

std::string ArgumentText(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return text;
}

std::string JobIdOf(std::string_view text, ParseStyle style) {
    const std::string first =
        style == ParseStyle::kPictor ? PictorFirstPiece(text) : std::string(text);
    return Split(first, "@").front();
}

CommandLine Parse(std::string_view text, ParseStyle style) {
    CommandLine line;
    const auto outer = style == ParseStyle::kPictor ? Split(text, "\" ")
                                                    : std::vector<std::string>{std::string(text)};
    const auto pieces = Split(outer.front(), "@");
    line.jobId = pieces.front();
    if (pieces.size() < 2) throw CommandLineError(VL("the command line has no document path"));
    line.path = style == ParseStyle::kKeepQuotes ? pieces[1] : RemoveQuotes(pieces[1]);
    if (style == ParseStyle::kPictor) {
        if (outer.size() < 2) throw CommandLineError(VL("the command line has no picture type"));
        line.typeToken = outer[1];
    }
    return line;
}

}  // namespace vellora::helper
