#pragma once
// A UserDialogs for tests: every dialog the code under test opens must have
// been announced, in order, with its answer. An unannounced or mismatching
// call fails the test where it happens and answers as a cancelled dialog
// would; verifyDone() fails when announced calls were never made. Every
// message text is recorded exactly.

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "io/UserDialogs.h"

namespace orma::test {

class ScriptedDialogs : public UserDialogs {
public:
    /// A message box with exactly this text.
    void expectMessage(std::string text) { script_.push_back(makeStep(Kind::Message, std::move(text))); }

    /// An input box with this caption and prompt; `proposed`, when given, must
    /// be the proposed text. `answer` nullopt = Cancel.
    void expectInput(std::string caption, std::string prompt, std::optional<std::string> answer,
                     std::optional<std::string> proposed = std::nullopt) {
        script_.push_back(makeStep(Kind::Input, std::move(caption), std::move(prompt), std::move(proposed), std::move(answer)));
    }

    /// An open dialog; `answer` nullopt = Cancel. `title`, when given, must
    /// be the dialog's title.
    void expectOpen(std::optional<std::string> answer, std::optional<std::string> title = std::nullopt) {
        Step step = makeStep(Kind::Open, {}, {}, {}, std::move(answer));
        step.title = std::move(title);
        script_.push_back(std::move(step));
    }

    /// A save dialog; `answer` nullopt = Cancel. `title`, when given, must
    /// be the dialog's title.
    void expectSave(std::optional<std::string> answer, std::optional<std::string> title = std::nullopt) {
        Step step = makeStep(Kind::Save, {}, {}, {}, std::move(answer));
        step.title = std::move(title);
        script_.push_back(std::move(step));
    }

    /// A yes/no question with exactly this text; `yes` is the answer.
    void expectQuestion(std::string text, bool yes) {
        Step step = makeStep(Kind::Question, std::move(text));
        step.yes = yes;
        script_.push_back(std::move(step));
    }

    /// A Save / Discard / Cancel question with exactly this text; the labels,
    /// when given, must be those of the first two buttons.
    void expectSaveQuestion(std::string text, SaveAnswer answer, std::optional<std::string> saveLabel = std::nullopt,
                            std::optional<std::string> discardLabel = std::nullopt) {
        Step step = makeStep(Kind::SaveQuestion, std::move(text), {}, std::move(saveLabel), std::move(discardLabel));
        step.saveAnswer = answer;
        script_.push_back(std::move(step));
    }

    /// A message with a list below it: exactly this text; `lines`, when
    /// given, must be the list.
    void expectMessageWithList(std::string text, std::optional<std::vector<std::string>> lines = std::nullopt) {
        Step step = makeStep(Kind::MessageWithList, std::move(text));
        step.lines = std::move(lines);
        script_.push_back(std::move(step));
    }

    /// A colour dialog; `initial`, when given, must be the preset colour.
    /// `answer` nullopt = Cancel.
    void expectColour(std::optional<std::uint32_t> answer, std::optional<std::uint32_t> initial = std::nullopt) {
        Step step = makeStep(Kind::Colour);
        step.colour = answer;
        step.initialColour = initial;
        script_.push_back(std::move(step));
    }

    /// A font dialog; `answer` nullopt = Cancel.
    void expectFont(std::optional<FontChoice> answer) {
        Step step = makeStep(Kind::Font);
        step.font = std::move(answer);
        script_.push_back(std::move(step));
    }

    /// A printer setup dialog; `answer` nullopt = Cancel.
    void expectPrinterSetup(std::optional<PrinterChoice> answer) {
        Step step = makeStep(Kind::Printer);
        step.printer = std::move(answer);
        script_.push_back(std::move(step));
    }

    /// Messages (with or without a list) need no announcement any more; they
    /// are only recorded.
    void allowAnyMessages(bool allow = true) { messagesFree_ = allow; }

    /// Every message shown so far, in order.
    const std::vector<std::string>& messages() const { return messages_; }
    /// Options of the last open or save dialog.
    const FileDialogOptions& lastFileOptions() const { return lastFileOptions_; }
    /// Titles of every open and save dialog, in order.
    const std::vector<std::string>& fileDialogTitles() const { return fileDialogTitles_; }
    /// Proposed texts of every input box, in order.
    const std::vector<std::string>& proposals() const { return proposals_; }
    /// The lists of every message with a list, in order.
    const std::vector<std::vector<std::string>>& lists() const { return lists_; }

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
        fileDialogTitles_.push_back(options.title);
        const std::optional<Step> step = next(Kind::Open, "open dialog \"" + options.title + '"');
        if (step && step->title) {
            EXPECT_EQ(options.title, *step->title) << "title of the open dialog";
        }
        return step ? step->answer : std::nullopt;
    }

    std::optional<std::string> saveFile(const FileDialogOptions& options) override {
        lastFileOptions_ = options;
        fileDialogTitles_.push_back(options.title);
        const std::optional<Step> step = next(Kind::Save, "save dialog \"" + options.title + '"');
        if (step && step->title) {
            EXPECT_EQ(options.title, *step->title) << "title of the save dialog";
        }
        return step ? step->answer : std::nullopt;
    }

    bool askYesNo(const std::string& text) override {
        const std::optional<Step> step = next(Kind::Question, "question \"" + text + '"');
        if (!step) return false;
        EXPECT_EQ(text, step->caption) << "question text";
        return step->yes;
    }

    SaveAnswer askSaveDiscardCancel(const SaveQuestion& question) override {
        const std::optional<Step> step = next(Kind::SaveQuestion, "save question \"" + question.text + '"');
        if (!step) return SaveAnswer::Cancel;
        EXPECT_EQ(question.text, step->caption) << "save question text";
        if (step->proposed) {
            EXPECT_EQ(question.saveLabel, *step->proposed) << "label of the save button";
        }
        if (step->answer) {
            EXPECT_EQ(question.discardLabel, *step->answer) << "label of the discard button";
        }
        return step->saveAnswer;
    }

    void messageWithList(const std::string& text, const std::vector<std::string>& lines) override {
        messages_.push_back(text);
        lists_.push_back(lines);
        if (messagesFree_) return;
        const std::optional<Step> step = next(Kind::MessageWithList, "message with a list \"" + text + '"');
        if (!step) return;
        EXPECT_EQ(text, step->caption) << "text above the list";
        if (step->lines) {
            EXPECT_EQ(lines, *step->lines) << "the list";
        }
    }

    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override {
        const std::optional<Step> step = next(Kind::Colour, "colour dialog");
        if (!step) return std::nullopt;
        if (step->initialColour) {
            EXPECT_EQ(initial, *step->initialColour) << "preset colour of the colour dialog";
        }
        return step->colour;
    }

    std::optional<FontChoice> chooseFont(const FontChoice& initial) override {
        lastFont_ = initial;
        const std::optional<Step> step = next(Kind::Font, "font dialog");
        return step ? step->font : std::nullopt;
    }

    std::optional<PrinterChoice> printerSetup(const PrinterChoice& current) override {
        lastPrinter_ = current;
        const std::optional<Step> step = next(Kind::Printer, "printer setup dialog");
        return step ? step->printer : std::nullopt;
    }

    /// The preset of the last font dialog and of the last printer setup.
    const FontChoice& lastFont() const { return lastFont_; }
    const PrinterChoice& lastPrinter() const { return lastPrinter_; }

private:
    enum class Kind { Message, Input, Open, Save, Question, SaveQuestion, MessageWithList, Colour, Font, Printer };
    struct Step {
        Kind kind = Kind::Message;
        std::string caption;  ///< message or question text, or input caption
        std::string prompt;
        std::optional<std::string> proposed;
        std::optional<std::string> answer;
        bool yes = false;
        std::optional<std::uint32_t> colour;
        std::optional<std::uint32_t> initialColour;
        std::optional<FontChoice> font;
        std::optional<PrinterChoice> printer;
        SaveAnswer saveAnswer = SaveAnswer::Cancel;
        std::optional<std::vector<std::string>> lines;
        std::optional<std::string> title;  ///< of an open or save dialog
    };

    static Step makeStep(Kind kind, std::string caption = {}, std::string prompt = {},
                         std::optional<std::string> proposed = {}, std::optional<std::string> answer = {}) {
        Step step;
        step.kind = kind;
        step.caption = std::move(caption);
        step.prompt = std::move(prompt);
        step.proposed = std::move(proposed);
        step.answer = std::move(answer);
        return step;
    }

    static std::string describe(const Step& step) {
        switch (step.kind) {
            case Kind::Message: return "message \"" + step.caption + '"';
            case Kind::Input: return "input box \"" + step.caption + '"';
            case Kind::Open: return "open dialog";
            case Kind::Save: return "save dialog";
            case Kind::Question: return "question \"" + step.caption + '"';
            case Kind::SaveQuestion: return "save question \"" + step.caption + '"';
            case Kind::MessageWithList: return "message with a list \"" + step.caption + '"';
            case Kind::Colour: return "colour dialog";
            case Kind::Font: return "font dialog";
            case Kind::Printer: return "printer setup dialog";
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
    std::vector<std::string> fileDialogTitles_;
    std::vector<std::vector<std::string>> lists_;
    FileDialogOptions lastFileOptions_;
    FontChoice lastFont_;
    PrinterChoice lastPrinter_;
    bool messagesFree_ = false;
};

}  // namespace orma::test
