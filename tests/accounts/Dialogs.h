// Message boxes that answer from a script and remember what they were asked.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "main/core/Seams.h"

namespace vtest {

struct AskedBox {
    std::string text, title;
    vellora::core::MsgButtons buttons;
};

class AnsweringDialogs : public vellora::core::Dialogs {
  public:
    std::deque<vellora::core::MsgResult> answers;  // for Yes/No questions; unscripted: No
    std::vector<AskedBox> asked;

    vellora::core::MsgResult MessageBox(const std::string& text, vellora::core::MsgButtons b,
                                        const std::string& title) override {
        asked.push_back({text, title, b});
        if (b == vellora::core::MsgButtons::Ok) return vellora::core::MsgResult::Ok;
        if (answers.empty()) return vellora::core::MsgResult::No;
        const auto a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<std::string> InputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (const auto& a : asked) out.push_back(a.text);
        return out;
    }
};

}  // namespace vtest
