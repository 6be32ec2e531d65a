#pragma once
// A UserDialogs for tests: every dialog the code under test opens must have
// been announced, in order, with its answer. An unannounced or mismatching
// call fails the test where it happens and answers as a cancelled dialog
// would; verifyDone() fails when announced calls were never made. Every
// message text is recorded exactly.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "io/UserDialogs.h"

namespace orma::test {

class ScriptedDialogs : public UserDialogs {
public:
    /// A message box with exactly this text.
    void expectMessage(std::string text) { script_.push_back({Kind::Message, std::move(text), {}, {}, {}}); }

    /// An input box with this caption and prompt; `proposed`, when given, must
    /// be the proposed text. `answer` nullopt = Cancel.
    void expectInput(std::string caption, std::string prompt, std::optional<std::string> answer,
                     std::optional<std::string> proposed = std::nullopt) {
        script_.push_back({Kind::Input, std::move(caption), std::move(prompt), std::move(proposed), std::move(answer)});
    }

    /// An open dialog; `answer` nullopt = Cancel.
    void expectOpen(std::optional<std::string> answer) { script_.push_back({Kind::Open, {}, {}, {}, std::move(answer)}); }

    /// A save dialog; `answer` nullopt = Cancel.
    void expectSave(std::optional<std::string> answer) { script_.push_back({Kind::Save, {}, {}, {}, std::move(answer)}); }

    /// Messages need no announcement any more; they are only recorded.
    void allowAnyMessages(bool allow = true) { messagesFree_ = allow; }

    /// Every message shown so far, in order.
    const std::vector<std::string>& messages() const { return messages_; }
    /// Options of the last open or save dialog.
    const FileDialogOptions& lastFileOptions() const { return lastFileOptions_; }
    /// Proposed texts of every input box, in order.
    const std::vector<std::string>& proposals() const { return proposals_; }

    /// Fails the test for every announced call that was not made.
    void verifyDone() {
        for (const Step& step : script_) ADD_FAILURE() << "expected dialog never shown: " << describe(step);
        script_.clear();
    }

    void message(const std::string& text) override {
        messages_.push_back(text);
        if (messagesFree_) return;
        const std::optional<Step> step = next(Kind::Message, "message \"" + text + "\"");
        if (step && step->caption != text) {
            ADD_FAILURE() << "message text\n  shown:    \"" << text << "\"\n  expected: \"" << step->caption << '"';
        }
    }

    std::optional<std::string> inputQuery(const std::string& caption, const std::string& prompt,
                                          const std::string& proposed) override {
        proposals_.push_back(proposed);
        const std::optional<Step> step =
            next(Kind::Input, "input box \"" + caption + "\" / \"" + prompt + "\" proposing \"" + proposed + '"');
        if (!step) return std::nullopt;
        EXPECT_EQ(caption, step->caption) << "input box caption";
        EXPECT_EQ(prompt, step->prompt) << "input box prompt";
        if (step->proposed) {
            EXPECT_EQ(proposed, *step->proposed) << "proposed text of \"" << caption << '"';
        }
        return step->answer;
    }

    std::optional<std::string> openFile(const FileDialogOptions& options) override {
        lastFileOptions_ = options;
        const std::optional<Step> step = next(Kind::Open, "open dialog \"" + options.filter + '"');
        return step ? step->answer : std::nullopt;
    }

    std::optional<std::string> saveFile(const FileDialogOptions& options) override {
        lastFileOptions_ = options;
        const std::optional<Step> step = next(Kind::Save, "save dialog \"" + options.filter + '"');
        return step ? step->answer : std::nullopt;
    }

private:
    enum class Kind { Message, Input, Open, Save };
    struct Step {
        Kind kind;
        std::string caption;  ///< message text, or input caption
        std::string prompt;
        std::optional<std::string> proposed;
        std::optional<std::string> answer;
    };

    static std::string describe(const Step& step) {
        switch (step.kind) {
            case Kind::Message: return "message \"" + step.caption + '"';
            case Kind::Input: return "input box \"" + step.caption + '"';
            case Kind::Open: return "open dialog";
            case Kind::Save: return "save dialog";
        }
        return {};
    }

    std::optional<Step> next(Kind kind, const std::string& what) {
        if (script_.empty()) {
            ADD_FAILURE() << "unexpected " << what;
            return std::nullopt;
        }
        Step step = script_.front();
        if (step.kind != kind) {
            ADD_FAILURE() << "unexpected " << what << " while waiting for " << describe(step);
            return std::nullopt;
        }
        script_.pop_front();
        return step;
    }

    std::deque<Step> script_;
    std::vector<std::string> messages_;
    std::vector<std::string> proposals_;
    FileDialogOptions lastFileOptions_;
    bool messagesFree_ = false;
};

}  // namespace orma::test
