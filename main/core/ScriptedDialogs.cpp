#include "main/core/ScriptedDialogs.h"

namespace vellora::core {

MsgResult ScriptedDialogs::MessageBox(const std::string& text, MsgButtons buttons,
                                      const std::string& title) {
    asked_.push_back({false, text, title, buttons, {}});
    if (messages_.empty()) {
        ++unscripted_;
        return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
    const MsgResult answer = messages_.front();
    messages_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::InputBox(const std::string& prompt,
                                                     const std::string& title,
                                                     const std::string& initial) {
    asked_.push_back({true, prompt, title, MsgButtons::Ok, initial});
    if (inputs_.empty()) {
        ++unscripted_;
        return std::nullopt;
    }
    std::optional<std::string> answer = inputs_.front();
    inputs_.pop_front();
    return answer;
}

}  // namespace vellora::core
