#pragma once

// The exchange dialogs played from a script: the test says what the user does while a
// dialog is up, and what each name-collision question gets.

#include "ExchangeDialogs.h"

#include <deque>
#include <functional>

namespace mb::fake {

/// What a list of materials shows, as a view records it.
struct FakePickerView {
    std::vector<PickerLine> lines;
    std::string status;
    /// The texts of the lines not hidden, "+" before a checked one.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const PickerLine& l : lines)
            if (!l.hidden) out.push_back((l.checked ? "+" : "") + l.text);
        return out;
    }
    /// Line number of the line with `text`, -1 when there is none.
    int line(const std::string& text) const {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].text == text) return static_cast<int>(i);
        return -1;
    }
};

class FakeImportDialog final : public ImportFromLibraryDialog, public FakePickerView {
public:
    explicit FakeImportDialog(std::function<bool(FakeImportDialog&, MaterialPickerHandler&)> user)
        : user_(std::move(user)) {}
    void showLines(const std::vector<PickerLine>& l) override { lines = l; }
    void setStatus(const std::string& s) override { status = s; }
    void setSource(const std::string& path) override { source = path; }
    void setImportEnabled(bool e) override { importEnabled = e; }
    /// Import pressed while it is disabled does not close the dialog: cancelled.
    bool exec(MaterialPickerHandler& handler) override {
        return user_(*this, handler) && importEnabled;
    }

    std::string source;
    bool importEnabled = true;

private:
    std::function<bool(FakeImportDialog&, MaterialPickerHandler&)> user_;
};

class FakeExportDialog final : public ExportDialog, public FakePickerView {
public:
    using User =
        std::function<std::optional<ExportChoice>(FakeExportDialog&, ExportDialogHandler&)>;
    explicit FakeExportDialog(User user) : user_(std::move(user)) {}
    void showLines(const std::vector<PickerLine>& l) override { lines = l; }
    void setStatus(const std::string& s) override { status = s; }
    void setup(const std::string& selectedMaterial, const std::vector<std::string>& unitSystems,
               const ExportChoice& initial) override {
        selected = selectedMaterial, units = unitSystems, initialChoice = initial;
    }
    void setUnitsEnabled(bool e) override { unitsEnabled = e; }
    void setPickerEnabled(bool e) override { pickerEnabled = e; }
    void setExportEnabled(bool e) override { exportEnabled = e; }
    std::optional<ExportChoice> exec(ExportDialogHandler& handler) override {
        return user_(*this, handler);
    }

    std::string selected;
    std::vector<std::string> units;
    ExportChoice initialChoice;
    bool unitsEnabled = false, pickerEnabled = false, exportEnabled = false;

private:
    User user_;
};

class FakeExchangeDialogs final : public ExchangeDialogs {
public:
    std::unique_ptr<ImportFromLibraryDialog> importFromLibraryDialog() override {
        return std::make_unique<FakeImportDialog>(importUser);
    }
    std::unique_ptr<ExportDialog> exportDialog() override {
        return std::make_unique<FakeExportDialog>(exportUser);
    }
    /// Answers from the queue; an empty queue cancels.
    CollisionAnswer askNameCollision(const std::string& name,
                                     const std::string& copyName) override {
        asked.push_back(name + " -> " + copyName);
        if (answers.empty()) return CollisionAnswer::Cancel;
        const CollisionAnswer a = answers.front();
        answers.pop_front();
        return a;
    }

    std::function<bool(FakeImportDialog&, MaterialPickerHandler&)> importUser;
    FakeExportDialog::User exportUser;
    std::deque<CollisionAnswer> answers;
    std::vector<std::string> asked;
};

} // namespace mb::fake
