// Test doubles of the window's side effects, for every test suite of the main program:
// dialogs that answer from a script and record what they were asked, and a clock that
// moves only when told.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "main/core/Seams.h"

namespace vellora::core {

class ScriptedDialogs : public Dialogs {
  public:
    struct Asked {
        bool input = false;  // an input box rather than a message box
        std::string text;    // message or prompt
        std::string title;
        MsgButtons buttons = MsgButtons::Ok;
        std::string initial;  // an input box's default text
    };

    // Answers are used in the order given; message boxes and input boxes have their own queue.
    void AnswerMessage(MsgResult answer) { messages_.push_back(answer); }
    void AnswerInput(std::optional<std::string> answer) { inputs_.push_back(std::move(answer)); }

    MsgResult MessageBox(const std::string& text, MsgButtons buttons,
                         const std::string& title) override;
    std::optional<std::string> InputBox(const std::string& prompt, const std::string& title,
                                        const std::string& initial) override;

    const std::vector<Asked>& asked() const { return asked_; }
    // Questions that found no scripted answer (a message box then answers Ok or No, an
    // input box answers as cancelled).
    int unscripted() const { return unscripted_; }
    std::size_t pendingAnswers() const { return messages_.size() + inputs_.size(); }

  private:
    std::deque<MsgResult> messages_;
    std::deque<std::optional<std::string>> inputs_;
    std::vector<Asked> asked_;
    int unscripted_ = 0;
};

class FakeClock : public Clock {
  public:
    explicit FakeClock(TimePoint start = std::chrono::system_clock::now()) : now_(start) {}
    TimePoint Now() override { return now_; }
    void Set(TimePoint t) { now_ = t; }
    template <class Rep, class Period>
    void Advance(std::chrono::duration<Rep, Period> d) {
        now_ += std::chrono::duration_cast<std::chrono::system_clock::duration>(d);
    }

  private:
    TimePoint now_;
};

}  // namespace vellora::core
