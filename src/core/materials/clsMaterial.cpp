#include "clsMaterial.h"

#include "NumberText.h"
#include "RecordPool.h"
#include "TextUtil.h"

#include <algorithm>
#include <new>

namespace mb {

namespace {

// Sanitizer builds keep the global allocator, so a record used after its release is caught.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
#else
constexpr bool kPooled = true;
#endif

RecordPool& Records() {
    // Never destroyed: records held by other static objects may be released after it.
    static RecordPool* pool = new RecordPool(sizeof(clsMaterial));
    return *pool;
}

} // namespace

void* clsMaterial::operator new(std::size_t size) {
    if (!kPooled || size != sizeof(clsMaterial)) return ::operator new(size);
    return Records().allocate();
}

void clsMaterial::operator delete(void* p, std::size_t size) noexcept {
    if (!kPooled || size != sizeof(clsMaterial)) return ::operator delete(p);
    Records().release(p);
}

clsMaterial::clsMaterial(std::string recordUnit) : recordUnit_(std::move(recordUnit)) {}

void clsMaterial::Property(std::string_view code) {
    const std::string_view t = trimBlanks(code);
    property_ = t == "C" ? std::string("C (Cp)    ") : padRight(t, 10);
}

void clsMaterial::PropIndex() {
    index_ = static_cast<int16_t>(PropertyCatalogue::instance().findTolerant(property_));
}

bool clsMaterial::HasValue(int nProp) const {
    return nProp >= 0 && nProp < kSlotCount && hasValue_[nProp];
}

void clsMaterial::HasValue(int nProp, bool flag) {
    if (nProp >= 0 && nProp < kSlotCount) hasValue_[nProp] = flag;
}

double clsMaterial::value() {
    PropIndex();
    return index_ < 0 ? 0.0 : values_[index_];
}

void clsMaterial::value(double v) {
    PropIndex();
    if (index_ < 0) return;
    values_[index_] = v;
    hasValue_[index_] = true;
}

std::string clsMaterial::PropValue(std::string_view unitSystem) {
    PropIndex();
    if (index_ < 0 || !hasValue_[index_]) return "";
    return WriteValue(converter_.ChangeUnits("SI", unitSystem, index_, values_[index_]));
}

std::string clsMaterial::UnitsString() {
    PropIndex();
    return index_ < 0 ? std::string(16, ' ') : UnitsIPS(index_);
}

std::string clsMaterial::GetNthProperty(int nProp) {
    return nProp < kVisitedSlots ? PropertyCatalogue::instance().PropCode(nProp) : std::string();
}

void clsMaterial::ClearAll() {
    for (int i = 0; i < kVisitedSlots; ++i)
        hasValue_[i] = false;
}

void clsMaterial::ClearValue() {
    PropIndex();
    if (index_ >= 0) hasValue_[index_] = false;
}

void clsMaterial::reset() {
    for (int i = 0; i < kVisitedSlots; ++i)
        if (hasValue_[i]) values_[i] = 0;
}

void clsMaterial::Copy(const clsMaterial& mat) {
    category_ = mat.category_;
    name_ = mat.name_;
    nameCode_ = mat.nameCode_;
    description_ = mat.description_;
}

void clsMaterial::CopyAllProperties(const clsMaterial& mat) {
    Copy(mat);
    for (int i = 0; i < kVisitedSlots; ++i) {
        hasValue_[i] = mat.hasValue_[i];
        if (mat.hasValue_[i]) values_[i] = mat.values_[i];
    }
}

void clsMaterial::CopyProperty(std::string_view PROP, double val) {
    Property(PROP);
    value(val);
}

void clsMaterial::ChangeUnits(const std::string& oldUnit, const std::string& newUnit,
                              bool bUserCurUnit) {
    if (recordUnit_.empty()) recordUnit_ = "SI";
    const std::string source = bUserCurUnit ? recordUnit_ : oldUnit;
    if (newUnit == "IPS" || newUnit == "SI" || newUnit == "MKS") convertAll(source, newUnit);
    recordUnit_ = newUnit;
}

void clsMaterial::convertAll(std::string_view oldUnit, std::string_view target) {
    if (oldUnit == target) return;
    for (int i = 0; i < kVisitedSlots; ++i) {
        if (!hasValue_[i]) continue;
        Property(GetNthProperty(i));
        const double v = value();
        // The slot number, not a lookup of its code, decides the factor.
        value(converter_.ChangeUnits(oldUnit, target, i, v));
    }
}

std::string clsMaterial::WriteValue(double dVal) {
    return formatNumberText(dVal);
}

namespace {

// A property line is a fixed text with three numbers set into it. The texts are built
// once: the writer produces one line for every stored value of every material.
struct PropertyLine {
    std::string text; // the line, blank where the numbers go
    std::size_t ips = 0, mks = 0, si = 0;
};

const std::array<PropertyLine, kVisitedSlots>& PropertyLines() {
    static const std::array<PropertyLine, kVisitedSlots> lines = [] {
        std::array<PropertyLine, kVisitedSlots> all;
        const std::string blankLabel(16, ' ');
        const std::string number(kNumberTextWidth, ' ');
        for (int i = 0; i < kVisitedSlots; ++i) {
            PropertyLine& line = all[static_cast<std::size_t>(i)];
            std::string& t = line.text;
            const std::string& code = PropertyCatalogue::instance().PropCode(i);
            t = code;
            if (code.size() < 10) t.append(10 - code.size(), ' ');
            line.ips = t.size();
            t += number;
            t += UnitsIPS(i);
            t += "  ";
            line.mks = t.size();
            t += number;
            t += "   ";
            const std::string& mks = UnitsMKS(i);
            t += mks;
            if (i == Slot::FRCANG || mks == blankLabel) t += ' ';
            line.si = t.size();
            t += number;
            t += UnitsSI(i);
            t += "\r\n";
        }
        return all;
    }();
    return lines;
}

} // namespace

std::string clsMaterial::madeNameCode() const {
    return name_.size() < 14 ? padRight(name_, 13) : name_.substr(0, 13);
}

void clsMaterial::Save(std::string& out) {
    if (trimBlanks(nameCode_).empty()) nameCode_ = madeNameCode();
    format(out);
}

std::string_view clsMaterial::writtenName() const {
    // The blanks the reader puts after a name are padding, not part of it: a name of 29 or
    // 30 characters read back from a file must not push the colon past column 51, or the
    // next reading takes them into the description.
    return name_.size() > 30 && trimRightBlanks(name_).size() <= 30 ? trimRightBlanks(name_)
                                                                    : std::string_view(name_);
}

std::size_t clsMaterial::formattedSize() const {
    const std::size_t code = trimBlanks(nameCode_).empty() ? 13 : nameCode_.size();
    std::size_t size = 5 + std::max<std::size_t>(code, 13) + 2 +
                       std::max<std::size_t>(writtenName().size(), 30) + 1 + description_.size() +
                       2 + 9;
    const auto& lines = PropertyLines();
    for (int i = 0; i < kVisitedSlots; ++i)
        if (hasValue_[i]) size += lines[static_cast<std::size_t>(i)].text.size();
    return size;
}

void clsMaterial::format(std::string& out) const {
    const std::string& code = trimBlanks(nameCode_).empty() ? madeNameCode() : nameCode_;
    out += "MATL:";
    out += code;
    if (code.size() < 13) out.append(13 - code.size(), ' ');
    out += ": ";
    const std::string_view name = writtenName();
    out += name;
    if (name.size() < 30) out.append(30 - name.size(), ' ');
    out += ':';
    out += description_;
    out += "\r\n";

    const auto& lines = PropertyLines();
    for (int i = 0; i < kVisitedSlots; ++i) {
        if (!hasValue_[i]) continue;
        const PropertyLine& line = lines[static_cast<std::size_t>(i)];
        const std::size_t at = out.size();
        out += line.text;
        char* text = out.data() + at;
        // Only the SI text is read back. The IPS and MKS texts are made from the value it
        // reads back as, not from the value held, or the next save would move them.
        const double si = writeStableNumberText(values_[i], text + line.si);
        double ips = 0, mks = 0;
        clsUnitConversion::fromSI(i, si, ips, mks);
        writeNumberText(ips, text + line.ips);
        writeNumberText(mks, text + line.mks);
    }
    out += "ENDMATL\r\n";
}

} // namespace mb
