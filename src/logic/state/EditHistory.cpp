#include "EditHistory.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <variant>

namespace mb {

namespace {

// ---- What a change in place altered -------------------------------------------------------

// The twelve texts of a material: its entry's, its record's and its shadow's, each as
// category, name code, name, description.
constexpr int kTextFields = 12;

std::string TextOf(const MaterialSnapshot& m, int field) {
    const int part = field % 4;
    if (field < 4) {
        const LibraryEntry& e = m.entry;
        return part == 0 ? e.Category : part == 1 ? e.NameCode : part == 2 ? e.Name : e.Description;
    }
    const clsMaterial& r = field < 8 ? m.record : m.shadow;
    return part == 0   ? r.MaterialType()
           : part == 1 ? r.MaterialNameCode()
           : part == 2 ? r.MaterialName()
                       : r.MaterialDescription();
}

void SetText(MaterialSnapshot& m, int field, const std::string& text) {
    const int part = field % 4;
    if (field < 4) {
        LibraryEntry& e = m.entry;
        (part == 0   ? e.Category
         : part == 1 ? e.NameCode
         : part == 2 ? e.Name
                     : e.Description) = text;
        return;
    }
    clsMaterial& r = field < 8 ? m.record : m.shadow;
    if (part == 0)
        r.MaterialType(text);
    else if (part == 1)
        r.MaterialNameCode(text);
    else if (part == 2)
        r.MaterialName(text);
    else
        r.MaterialDescription(text);
}

struct TextChange {
    int field;
    std::string before, after;
};

// A slot's value and mark. The value is kept even without the mark: a value taken out
// keeps its number, and a reset marks it again.
struct SlotChange {
    std::int16_t slot;
    bool shadow;
    bool hadValue, hasValue;
    double before, after;
};

bool SameSlot(const clsMaterial& a, const clsMaterial& b, int slot) {
    return a.HasValue(slot) == b.HasValue(slot) &&
           std::bit_cast<std::uint64_t>(a.slotValue(slot)) ==
               std::bit_cast<std::uint64_t>(b.slotValue(slot));
}

void SetSlot(clsMaterial& record, int slot, bool has, double value) {
    record.setSlotValue(slot, value);
    record.HasValue(slot, has);
}

} // namespace

// ---- Steps ----------------------------------------------------------------------------------

namespace steps {

// Material n was added (appended, pasted or inserted). `parked` holds it while undone.
// `appended` when it came after every other material, so no number moved.
struct Inserted {
    int n;
    std::optional<MaterialSnapshot> parked;
    bool appended = true;
};

// Material n was removed; `material` is what it was.
struct Removed {
    int n;
    MaterialSnapshot material;
};

// Material `from` was moved to the end, as number `to`, into `category`; `before` holds
// the category texts of its entry, record and shadow as they were.
struct Moved {
    int from, to;
    std::string category;
    std::string before[3];
};

// Material n's texts and values, where they changed.
struct Changed {
    int n;
    std::vector<TextChange> texts;
    std::vector<SlotChange> slots;
};

} // namespace steps

struct EditHistory::Step
    : std::variant<steps::Inserted, steps::Removed, steps::Moved, steps::Changed> {
    using variant::variant;
};

struct EditHistory::Entry {
    std::string label;
    EditFocus shownBefore;
    std::vector<Step> steps;
};

namespace {

steps::Changed Difference(int n, const MaterialSnapshot& before, const MaterialSnapshot& after) {
    steps::Changed change{n, {}, {}};
    for (int field = 0; field < kTextFields; ++field) {
        std::string was = TextOf(before, field), now = TextOf(after, field);
        if (was != now) change.texts.push_back({field, std::move(was), std::move(now)});
    }
    for (const bool shadow : {false, true}) {
        const clsMaterial& was = shadow ? before.shadow : before.record;
        const clsMaterial& now = shadow ? after.shadow : after.record;
        for (int slot = 0; slot < kSlotCount; ++slot)
            if (!SameSlot(was, now, slot))
                change.slots.push_back({static_cast<std::int16_t>(slot), shadow, was.HasValue(slot),
                                        now.HasValue(slot), was.slotValue(slot),
                                        now.slotValue(slot)});
    }
    return change;
}

// Puts material n's changed texts and values to one side of the change.
void Apply(Library& library, const steps::Changed& change, bool forward) {
    MaterialSnapshot m = library.snapshot(change.n);
    for (const TextChange& t : change.texts)
        SetText(m, t.field, forward ? t.after : t.before);
    for (const SlotChange& s : change.slots)
        SetSlot(s.shadow ? m.shadow : m.record, s.slot, forward ? s.hasValue : s.hadValue,
                forward ? s.after : s.before);
    library.restore(change.n, m);
}

struct Undoer {
    Library& library;
    EditFocus operator()(steps::Inserted& s) const {
        s.parked = library.removeMaterial(s.n);
        return {EditFocus::Kind::Removed, s.n, s.parked->entry.Category};
    }
    EditFocus operator()(steps::Removed& s) const {
        library.insertMaterial(s.n, s.material);
        return EditFocus::onMaterial(s.n);
    }
    EditFocus operator()(steps::Moved& s) const {
        MaterialSnapshot m = library.removeMaterial(s.to);
        m.entry.Category = s.before[0];
        m.record.MaterialType(s.before[1]);
        m.shadow.MaterialType(s.before[2]);
        library.insertMaterial(s.from, m);
        return EditFocus::onMaterial(s.from);
    }
    EditFocus operator()(steps::Changed& s) const {
        Apply(library, s, false);
        return EditFocus::onMaterial(s.n);
    }
};

struct Redoer {
    Library& library;
    EditFocus operator()(steps::Inserted& s) const {
        library.insertMaterial(s.n, *s.parked);
        s.parked.reset();
        return EditFocus::onMaterial(s.n);
    }
    EditFocus operator()(steps::Removed& s) const {
        library.removeMaterial(s.n);
        return {EditFocus::Kind::Removed, s.n, s.material.entry.Category};
    }
    EditFocus operator()(steps::Moved& s) const {
        return EditFocus::onMaterial(library.moveMaterialToEnd(s.from, s.category));
    }
    EditFocus operator()(steps::Changed& s) const {
        Apply(library, s, true);
        return EditFocus::onMaterial(s.n);
    }
};

bool Renumbers(const EditHistory::Entry& entry) {
    for (const auto& step : entry.steps)
        if (!std::holds_alternative<steps::Changed>(step)) return true;
    return false;
}

// The tree shows the entries' categories and names.
bool ChangesTree(const EditHistory::Entry& entry) {
    for (const auto& step : entry.steps) {
        const auto* change = std::get_if<steps::Changed>(&step);
        if (!change) return true;
        for (const TextChange& t : change->texts)
            if (t.field == 0 || t.field == 2) return true;
    }
    return false;
}

// What a notice says of one step, made (or redone) when `forward`, undone otherwise.
struct Noticer {
    LibraryChange& change;
    bool forward;
    void operator()(const steps::Inserted& s) const {
        change.materials.push_back(s.n);
        change.valuesChanged = true;
        // Taking an appended material out moves no number, but the number names nothing now.
        if (!forward || !s.appended) change.numbersShifted = true;
    }
    void operator()(const steps::Removed& s) const {
        change.materials.push_back(s.n);
        change.valuesChanged = true;
        change.numbersShifted = true;
    }
    void operator()(const steps::Moved& s) const {
        change.materials.push_back(forward ? s.to : s.from);
        change.valuesChanged = true;
        change.numbersShifted = true;
    }
    void operator()(const steps::Changed& s) const {
        change.materials.push_back(s.n);
        if (!s.slots.empty()) change.valuesChanged = true;
    }
};

} // namespace

bool LibraryChange::touches(int n) const {
    return std::binary_search(materials.begin(), materials.end(), n);
}

// ---- Recording ------------------------------------------------------------------------------

EditHistory::EditHistory(Library& library) : library_(library) {}

EditHistory::~EditHistory() = default;

EditHistory::Edit::~Edit() {
    history_.end();
}

EditHistory::Edit EditHistory::begin(std::string label, EditFocus shownBefore) {
    if (depth_++ == 0) open_ = std::make_unique<Entry>(Entry{std::move(label), shownBefore, {}});
    return Edit(*this);
}

void EditHistory::end() {
    if (depth_ == 0 || --depth_ > 0) return;
    std::unique_ptr<Entry> done = std::move(open_);
    if (!done || done->steps.empty()) return;
    undo_.push_back(std::move(*done));
    redo_.clear();
    notify();
    // An edit is shown as its redo would show it: the last material it changed.
    EditFocus shown;
    for (const Step& step : undo_.back().steps)
        shown = std::visit(
            [](const auto& s) -> EditFocus {
                using S = std::decay_t<decltype(s)>;
                if constexpr (std::is_same_v<S, steps::Removed>)
                    return {EditFocus::Kind::Removed, s.n, s.material.entry.Category};
                else if constexpr (std::is_same_v<S, steps::Moved>)
                    return EditFocus::onMaterial(s.to);
                else
                    return EditFocus::onMaterial(s.n);
            },
            step);
    announce(undo_.back(), LibraryChange::Cause::Edit, shown);
}

void EditHistory::record(Step step) {
    if (depth_ > 0 && open_) {
        open_->steps.push_back(std::move(step));
        return;
    }
    // A change made outside any edit is an edit of its own.
    auto edit = begin("Edit");
    open_->steps.push_back(std::move(step));
}

void EditHistory::changeInPlace(int n, const std::function<void()>& change) {
    if (!library_.isValidNumber(n)) {
        change();
        return;
    }
    const MaterialSnapshot before = library_.snapshot(n);
    change();
    steps::Changed difference = Difference(n, before, library_.snapshot(n));
    if (!difference.texts.empty() || !difference.slots.empty()) record(std::move(difference));
}

void EditHistory::notify() const {
    if (onChanged) onChanged();
}

int EditHistory::addListener(ChangeListener listener) {
    listeners_.emplace_back(nextListener_, std::move(listener));
    return nextListener_++;
}

void EditHistory::removeListener(int id) {
    std::erase_if(listeners_, [id](const auto& l) { return l.first == id; });
}

void EditHistory::announce(const Entry& entry, LibraryChange::Cause cause, EditFocus shown,
                           bool focusShownAfter) const {
    if (listeners_.empty()) return;
    LibraryChange change;
    change.cause = cause;
    change.focusShownAfter = focusShownAfter;
    change.label = entry.label;
    change.shown = std::move(shown);
    const Noticer noticer{change, cause != LibraryChange::Cause::Undo};
    for (const Step& step : entry.steps)
        std::visit(noticer, step);
    std::sort(change.materials.begin(), change.materials.end());
    change.materials.erase(std::unique(change.materials.begin(), change.materials.end()),
                           change.materials.end());
    change.treeChanged = ChangesTree(entry);
    // A listener may add or remove listeners; this notice goes to those there now.
    const auto listeners = listeners_;
    for (const auto& [id, listener] : listeners)
        listener(change);
}

int EditHistory::addMaterial(LibraryEntry entry, clsMaterial record, clsMaterial shadow) {
    const int n = library_.addMaterial(std::move(entry), std::move(record), std::move(shadow));
    if (n >= 0) this->record(steps::Inserted{n, std::nullopt});
    return n;
}

int EditHistory::copyMaterial(int source, const LibraryEntry& texts) {
    const int n = library_.copyMaterial(source, texts);
    if (n >= 0) record(steps::Inserted{n, std::nullopt});
    return n;
}

int EditHistory::insertMaterial(int n, const MaterialSnapshot& material) {
    const int at = library_.insertMaterial(n, material);
    if (at >= 0) record(steps::Inserted{at, std::nullopt, at == library_.LastMaterialIndex()});
    return at;
}

MaterialSnapshot EditHistory::removeMaterial(int n) {
    if (!library_.isValidNumber(n)) return {};
    MaterialSnapshot removed = library_.removeMaterial(n);
    record(steps::Removed{n, removed});
    return removed;
}

int EditHistory::moveMaterialToEnd(int m, const std::string& category) {
    if (!library_.isValidNumber(m)) return -1;
    steps::Moved move{m, -1, category, {}};
    move.before[0] = library_.entry(m).Category;
    move.before[1] = library_.material(m).MaterialType();
    move.before[2] = library_.shadow(m).MaterialType();
    move.to = library_.moveMaterialToEnd(m, category);
    const int to = move.to;
    record(std::move(move));
    return to;
}

void EditHistory::renameMaterial(int n, const std::string& name) {
    changeInPlace(n, [&] { library_.renameMaterial(n, name); });
}

void EditHistory::setCategory(int n, const std::string& category) {
    changeInPlace(n, [&] { library_.setCategory(n, category); });
}

void EditHistory::setDescription(int n, const std::string& description) {
    changeInPlace(n, [&] { library_.setDescription(n, description); });
}

void EditHistory::setEntryTexts(int n, LibraryEntry entry) {
    changeInPlace(n, [&] { library_.setEntryTexts(n, std::move(entry)); });
}

void EditHistory::setRecords(int n, clsMaterial record, clsMaterial shadow) {
    changeInPlace(n, [&] { library_.setRecords(n, std::move(record), std::move(shadow)); });
}

void EditHistory::SetValue(int n, std::string_view code, double si) {
    changeInPlace(n, [&] { library_.SetValue(n, code, si); });
}

void EditHistory::ClearValue(int n, std::string_view code) {
    changeInPlace(n, [&] { library_.ClearValue(n, code); });
}

void EditHistory::resetToShadow(int n) {
    changeInPlace(n, [&] { library_.resetToShadow(n); });
}

void EditHistory::ClearValues(int n) {
    changeInPlace(n, [&] { library_.ClearValues(n); });
}

void EditHistory::dropValues(int n) {
    changeInPlace(n, [&] { library_.dropValues(n); });
}

// ---- Undo and redo --------------------------------------------------------------------------

bool EditHistory::canUndo() const {
    return !undo_.empty();
}

bool EditHistory::canRedo() const {
    return !redo_.empty();
}

std::size_t EditHistory::undoCount() const {
    return undo_.size();
}

std::size_t EditHistory::redoCount() const {
    return redo_.size();
}

const std::string& EditHistory::undoLabel() const {
    static const std::string none;
    return undo_.empty() ? none : undo_.back().label;
}

const std::string& EditHistory::redoLabel() const {
    static const std::string none;
    return redo_.empty() ? none : redo_.back().label;
}

std::optional<EditHistory::Outcome> EditHistory::undo(const FocusShower& show) {
    if (undo_.empty() || depth_ > 0) return std::nullopt;
    Entry entry = std::move(undo_.back());
    undo_.pop_back();
    EditFocus shown;
    for (auto step = entry.steps.rbegin(); step != entry.steps.rend(); ++step)
        shown = std::visit(Undoer{library_}, *step);
    // The first change's material, now as it was before the edit, unless the edit said
    // otherwise (an addition shows what was selected before it).
    if (entry.shownBefore.kind != EditFocus::Kind::None) shown = entry.shownBefore;
    const Outcome outcome{shown, Renumbers(entry), ChangesTree(entry)};
    redo_.push_back(std::move(entry));
    notify();
    announce(redo_.back(), LibraryChange::Cause::Undo, shown, bool(show));
    if (show) show(outcome);
    return outcome;
}

std::optional<EditHistory::Outcome> EditHistory::redo(const FocusShower& show) {
    if (redo_.empty() || depth_ > 0) return std::nullopt;
    Entry entry = std::move(redo_.back());
    redo_.pop_back();
    EditFocus shown;
    for (Step& step : entry.steps)
        shown = std::visit(Redoer{library_}, step);
    const Outcome outcome{shown, Renumbers(entry), ChangesTree(entry)};
    undo_.push_back(std::move(entry));
    notify();
    announce(undo_.back(), LibraryChange::Cause::Redo, shown, bool(show));
    if (show) show(outcome);
    return outcome;
}

void EditHistory::clear() {
    const bool had = !undo_.empty() || !redo_.empty();
    undo_.clear();
    redo_.clear();
    open_.reset();
    depth_ = 0;
    if (had) notify();
}

} // namespace mb
