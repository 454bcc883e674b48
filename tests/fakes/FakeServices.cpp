#include "FakeServices.h"

namespace mb::fake {

namespace {

MsgResult FirstButton(MsgButtons buttons) {
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel: return MsgResult::Yes;
    case MsgButtons::RetryCancel: return MsgResult::Retry;
    default: return MsgResult::OK;
    }
}

class FakeKey : public SettingsKey {
public:
    FakeKey(FakeSettingsBackend& backend, std::string name)
        : backend_(backend), name_(std::move(name)) {}

    SettingsValue queryValue(const std::string& valueName) const override {
        return backend_.get(name_, valueName).value_or(SettingsValue{});
    }
    bool setBinaryValue(const std::string& valueName, const std::string& bytes) override {
        if (backend_.failWrite) return false;
        ++backend_.writes;
        backend_.keys[name_][valueName] = {SettingsValue::Type::Binary, bytes};
        return true;
    }

private:
    FakeSettingsBackend& backend_;
    std::string name_;
};

} // namespace

MsgResult FakeMessageBox::show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                               const std::string& title) {
    questions.push_back({text, buttons, icon, title});
    if (answers.empty()) return FirstButton(buttons);
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> FakeFileDialogs::next() {
    if (paths.empty()) return std::nullopt;
    auto path = paths.front();
    paths.pop_front();
    return path;
}

std::optional<std::string> FakeFileDialogs::openFile(const std::string& title,
                                                     const std::string& filter) {
    requests.push_back({Request::Kind::Open, title, filter});
    return next();
}

std::optional<std::string> FakeFileDialogs::saveFile(const std::string& title,
                                                     const std::string& filter) {
    requests.push_back({Request::Kind::Save, title, filter});
    return next();
}

std::unique_ptr<SettingsKey> FakeSettingsBackend::openKey(const std::string& keyName) {
    if (failOpen || !hasKey(keyName)) return nullptr;
    return std::make_unique<FakeKey>(*this, keyName);
}

std::unique_ptr<SettingsKey> FakeSettingsBackend::createKey(const std::string& keyName) {
    if (failCreate) return nullptr;
    keys[keyName];
    return std::make_unique<FakeKey>(*this, keyName);
}

void FakeSettingsBackend::put(const std::string& keyName, const std::string& valueName,
                              SettingsValue value) {
    keys[keyName][valueName] = std::move(value);
}

std::optional<SettingsValue> FakeSettingsBackend::get(const std::string& keyName,
                                                      const std::string& valueName) const {
    const auto key = keys.find(keyName);
    if (key == keys.end()) return std::nullopt;
    const auto value = key->second.find(valueName);
    if (value == key->second.end()) return std::nullopt;
    return value->second;
}

} // namespace mb::fake
