#pragma once

#include "FileOps.h"
#include "LibraryFile.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace mb::test {

/// The real file layer, except that the scripted call of a step fails with the scripted
/// errno; a failing write first writes half of its data, as a full disk would. Calls are
/// counted per step from 1. The Retry/Cancel question is answered from a script too,
/// Cancel once it runs out.
class ScriptedFileOps : public FileOps, public WriteErrorPrompt {
public:
    using Failures = std::map<std::pair<std::string, int>, int>; // (step, call) -> errno

    void script(Failures failures, std::vector<bool> answers = {}) {
        calls.clear();
        asked.clear();
        finishedWith.clear();
        failures_ = std::move(failures);
        answers_ = std::move(answers);
    }

    int createTemp(const std::string& d, const std::string& s, std::string& p, int& fd) override {
        return step("create", [&] { return real().createTemp(d, s, p, fd); });
    }
    int createUnnamed(const std::string& d, int& fd) override {
        return step("unnamed", [&] { return real().createUnnamed(d, fd); });
    }
    int writeAt(int fd, std::string_view data, long long offset) override {
        const int e = step("write", [] { return 0; });
        if (e) real().writeAt(fd, data.substr(0, data.size() / 2), offset);
        return e ? e : real().writeAt(fd, data, offset);
    }
    int setOwner(int fd, unsigned owner, unsigned group) override {
        return step("owner", [&] { return real().setOwner(fd, owner, group); });
    }
    int finish(int fd, unsigned mode, Durability d) override {
        finishedWith.push_back(d);
        return step("finish", [&] { return real().finish(fd, mode, d); });
    }
    // Finishing and renaming are one step here; either part can be made to fail.
    int replaceWithUnnamed(int fd, unsigned mode, Durability d,
                           const std::string& target) override {
        finishedWith.push_back(d);
        if (const int e = step("finish", [] { return 0; }); e != 0) return e;
        return step("rename", [&] { return real().replaceWithUnnamed(fd, mode, d, target); });
    }
    int rename(const std::string& a, const std::string& b) override {
        return step("rename", [&] { return real().rename(a, b); });
    }
    void discard(int fd, const std::string& path) override { real().discard(fd, path); }
    void removeStaleTemps(const std::string& d, const std::string& s) override {
        ++calls["stale"];
        real().removeStaleTemps(d, s);
    }
    int openExisting(const std::string& path, int& fd) override {
        return step("open", [&] { return real().openExisting(path, fd); });
    }
    int readAt(int fd, char* buffer, std::size_t size, long long offset, long& got) override {
        return step("read", [&] { return real().readAt(fd, buffer, size, offset, got); });
    }
    int createUnnamedCopy(const std::string& d, int& fd) override {
        return step("unnamed copy", [&] { return real().createUnnamedCopy(d, fd); });
    }
    int createCopy(const std::string& d, const std::string& n, bool hidden, std::string& p,
                   int& fd) override {
        return step("copy", [&] { return real().createCopy(d, n, hidden, p, fd); });
    }
    int keepCopy(int fd, const std::string& d, const std::string& n, bool hidden,
                 std::string& p) override {
        return step("keep", [&] { return real().keepCopy(fd, d, n, hidden, p); });
    }
    int finishInPlace(int fd, long long length) override {
        return step("truncate", [&] { return real().finishInPlace(fd, length); });
    }

    bool retry(const std::string& message) override {
        asked.push_back(message);
        return asked.size() <= answers_.size() && answers_[asked.size() - 1];
    }

    std::map<std::string, int> calls;
    std::vector<std::string> asked;
    std::vector<Durability> finishedWith; ///< how each new file was finished

private:
    static FileOps& real() { return systemFileOps(); }
    template <class Real> int step(const std::string& op, Real&& realStep) {
        const auto f = failures_.find({op, ++calls[op]});
        return f != failures_.end() ? f->second : realStep();
    }
    Failures failures_;
    std::vector<bool> answers_;
};

} // namespace mb::test
