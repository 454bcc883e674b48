#pragma once

// Scriptable stand-ins for the platform services: each answers from a queue the test
// fills ("the next question gets Yes") and records what it was asked.

#include "platform/Controls.h"
#include "platform/Locale.h"
#include "platform/Settings.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace mb::fake {

class FakeMessageBox : public MessageBox {
public:
    struct Question {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::string title; ///< as passed: "" means the application title
    };

    MsgResult show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title = "") override;

    /// The answer to the next question; when none is queued the first button is pressed
    /// (OK, Yes or Retry).
    void queueAnswer(MsgResult answer) { answers.push_back(answer); }

    std::deque<MsgResult> answers;
    std::vector<Question> questions;
};

class FakeFileDialogs : public FileDialogs {
public:
    struct Request {
        enum class Kind { Open, Save } kind;
        std::string title;
        std::string filter;
    };

    std::optional<std::string> openFile(const std::string& title,
                                        const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& title,
                                        const std::string& filter) override;

    /// The path chosen in the next dialog, or nullopt for Cancel. An empty queue cancels.
    void queuePath(std::optional<std::string> path) { paths.push_back(std::move(path)); }

    std::deque<std::optional<std::string>> paths;
    std::vector<Request> requests;

private:
    std::optional<std::string> next();
};

class FakeLocale : public Locale {
public:
    explicit FakeLocale(std::string sep = ".") : separator(std::move(sep)) {}
    std::string decimalSeparator() const override { return separator; }
    std::string separator;
};

/// Keys and typed values in memory. Failures can be switched on per operation.
class FakeSettingsBackend : public SettingsBackend {
public:
    std::unique_ptr<SettingsKey> openKey(const std::string& keyName) override;
    std::unique_ptr<SettingsKey> createKey(const std::string& keyName) override;

    /// Puts a value in place (creating its key), as an earlier run or another program left it.
    void put(const std::string& keyName, const std::string& valueName, SettingsValue value);
    std::optional<SettingsValue> get(const std::string& keyName,
                                     const std::string& valueName) const;
    bool hasKey(const std::string& keyName) const { return keys.count(keyName) > 0; }

    std::map<std::string, std::map<std::string, SettingsValue>> keys;
    bool failOpen = false;
    bool failCreate = false;
    bool failWrite = false;
    int writes = 0;
};

} // namespace mb::fake
