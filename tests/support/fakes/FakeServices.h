#pragma once

// Scriptable stand-ins for the platform services: each answers from a queue the test
// fills ("the next question gets Yes") and records what it was asked.

#include "BackgroundWork.h"
#include "Controls.h"
#include "DocumentLock.h"
#include "Locale.h"
#include "RecoveryStore.h"
#include "RepeatingTimer.h"
#include "Settings.h"

#include <deque>
#include <map>
#include <set>

namespace mb::fake {

class FakeMessageBox : public MessageBox {
public:
    /// `title` as passed: "" means the application title.
    struct Question {
        std::string text;
        MsgButtons buttons;
        MsgIcon icon;
        std::string title;
    };

    /// Answers from the queue; when it is empty the first button is pressed (OK, Yes, Retry).
    MsgResult show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title = "") override {
        questions.push_back({text, buttons, icon, title});
        // The first button of OK, OKCancel, YesNo, YesNoCancel and RetryCancel.
        constexpr MsgResult first[] = {MsgResult::OK, MsgResult::OK, MsgResult::Yes, MsgResult::Yes,
                                       MsgResult::Retry};
        const MsgResult answer = answers.empty() ? first[int(buttons)] : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    void queueAnswer(MsgResult answer) { answers.push_back(answer); }

    std::deque<MsgResult> answers;
    std::vector<Question> questions;
};

class FakeFileDialogs : public FileDialogs {
public:
    struct Request {
        std::string title, filter, proposedPath;
    };

    std::optional<std::string> openFile(const std::string& title,
                                        const std::string& filter) override {
        return next({title, filter, ""});
    }
    std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                        const std::string& proposedPath) override {
        return next({title, filter, proposedPath});
    }
    /// The path chosen in the next dialog, or nullopt for Cancel. An empty queue cancels.
    void queuePath(std::optional<std::string> path) { paths.push_back(std::move(path)); }

    std::deque<std::optional<std::string>> paths;
    std::vector<Request> requests;

private:
    std::optional<std::string> next(Request request) {
        requests.push_back(std::move(request));
        const auto path = paths.empty() ? std::nullopt : paths.front();
        if (!paths.empty()) paths.pop_front();
        return path;
    }
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
    std::unique_ptr<SettingsKey> openKey(const std::string& keyName) override {
        return keys.count(keyName) ? std::make_unique<Key>(*this, keyName) : nullptr;
    }
    std::unique_ptr<SettingsKey> createKey(const std::string& keyName) override {
        keys[keyName];
        return std::make_unique<Key>(*this, keyName);
    }
    /// Puts a value in place (creating its key), as an earlier run or another program left it.
    void put(const std::string& keyName, const std::string& valueName, SettingsValue value) {
        keys[keyName][valueName] = std::move(value);
    }
    std::optional<SettingsValue> get(const std::string& keyName,
                                     const std::string& valueName) const {
        if (!keys.count(keyName) || !keys.at(keyName).count(valueName)) return std::nullopt;
        return keys.at(keyName).at(valueName);
    }

    std::map<std::string, std::map<std::string, SettingsValue>> keys;
    bool failWrite = false;
    int writes = 0;

private:
    struct Key : SettingsKey {
        Key(FakeSettingsBackend& backend, std::string name) : backend_(backend), name_(name) {}
        SettingsValue queryValue(const std::string& valueName) const override {
            return backend_.get(name_, valueName).value_or(SettingsValue{});
        }
        bool setBinaryValue(const std::string& valueName, const std::string& bytes) override {
            if (backend_.failWrite) return false;
            ++backend_.writes;
            backend_.put(name_, valueName, {SettingsValue::Type::Binary, bytes});
            return true;
        }
        FakeSettingsBackend& backend_;
        std::string name_;
    };
};

/// One instance's recovery copy in memory, and the copies earlier runs left behind.
class FakeRecoveryStore : public RecoveryStore {
public:
    std::string location() const override { return folder; }
    std::optional<std::string> writeNow(const std::string& header, std::string_view body,
                                        std::string& reason) override {
        ++immediateWrites;
        if (!failure.empty()) {
            reason = failure;
            return std::nullopt;
        }
        copy = header + std::string(body);
        return folder + "/own.copy";
    }
    void writeLater(std::string header, std::shared_ptr<const LargeText> body,
                    CopyWanted wanted) override {
        ++backgroundWrites;
        if (holdBodies) heldBodies.push_back(body);
        if (wanted && !wanted(*body))
            copy.reset();
        else
            copy = header + std::string(*body);
    }
    void discard() override { copy.reset(); }
    std::vector<LeftRecoveryCopy> claimLeftCopies() override {
        std::vector<LeftRecoveryCopy> out = left;
        left.clear();
        return out;
    }
    void remove(const std::string& id) override { removed.push_back(id); }
    void release(const std::string& id) override { released.push_back(id); }

    std::string folder = "/home/user/.local/share/recovery";
    /// When set, writing at once fails with this reason.
    std::string failure;
    std::optional<std::string> copy; ///< this instance's copy as it stands
    int immediateWrites = 0, backgroundWrites = 0;
    /// When set, the texts written in the background are held, as a slow worker holds them.
    bool holdBodies = false;
    std::vector<std::shared_ptr<const LargeText>> heldBodies;
    std::vector<LeftRecoveryCopy> left; ///< offered to the next claim
    std::vector<std::string> removed, released;
};

/// Libraries that "another instance" holds; this instance's own lock.
class FakeDocumentLock : public DocumentLock {
public:
    Outcome acquire(const std::string& path) override {
        held.reset();
        if (heldElsewhere.count(path)) return {false, "process 4711"};
        held = path;
        return {};
    }
    void release() override { held.reset(); }

    std::set<std::string> heldElsewhere;
    std::optional<std::string> held;
};

/// Ticks only when the test says so.
class FakeTimer : public RepeatingTimer {
public:
    void start(int ms, std::function<void()> callback) override {
        intervalMs = ms;
        tick = std::move(callback);
    }
    void stop() override { tick = nullptr; }
    void fire() {
        if (tick) tick();
    }

    int intervalMs = 0;
    std::function<void()> tick;
};

/// Runs work at once; while `held`, keeps it until `finishNext`, as a slow disk would.
/// Waiting runs whatever is kept.
class FakeBackgroundWork : public BackgroundWork {
public:
    void start(std::function<void()> work, std::function<void()> done) override {
        queue.emplace_back(std::move(work), std::move(done));
        if (!held) finishNext();
    }
    void waitForIdle() override {
        while (!queue.empty())
            finishNext();
    }
    bool busy() const override { return !queue.empty(); }
    void finishNext() {
        auto [work, done] = std::move(queue.front());
        queue.pop_front();
        work();
        done();
    }

    bool held = false;
    std::deque<std::pair<std::function<void()>, std::function<void()>>> queue;
};

} // namespace mb::fake
