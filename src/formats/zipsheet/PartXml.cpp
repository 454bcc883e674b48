#include "PartXml.h"

#include <charconv>
#include <cmath>

namespace mb {

namespace {

std::string Latin1(QStringView text, int longest) {
    std::string out;
    for (const QChar c : text.first(std::min<qsizetype>(text.size(), longest)))
        out.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '?');
    return out;
}

} // namespace

PartXml::PartXml(std::string part, const std::string& bytes)
    : part_(std::move(part)),
      xml_(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()))) {}

PartXml::Event PartXml::next() {
    if (!failure_.empty()) return Event::Failed;
    for (;;) {
        switch (xml_.readNext()) {
        case QXmlStreamReader::StartElement:
            return Event::Start;
        case QXmlStreamReader::EndElement:
            return Event::End;
        case QXmlStreamReader::Characters:
            return Event::Text;
        case QXmlStreamReader::EndDocument:
            return Event::Done;
        case QXmlStreamReader::DTD:
            return fail("has a document type declaration, which a workbook never needs");
        case QXmlStreamReader::EntityReference:
            return fail("refers to the entity \"" + Latin1(xml_.name(), 64) +
                        "\", which a workbook never needs");
        case QXmlStreamReader::Invalid:
            return malformed();
        default:
            break; // the declaration, comments, processing instructions
        }
    }
}

std::optional<QStringView> PartXml::attribute(QStringView local, QStringView ns) const {
    // Held const: a loop over the shared list itself would copy it whole for every lookup.
    const QXmlStreamAttributes attributes = xml_.attributes();
    for (const QXmlStreamAttribute& a : attributes)
        if (a.name() == local && (ns.isEmpty() || a.namespaceUri() == ns)) return a.value();
    return std::nullopt;
}

bool PartXml::skipElement() {
    for (int depth = 1; depth > 0;) {
        switch (next()) {
        case Event::Start:
            ++depth;
            break;
        case Event::End:
            --depth;
            break;
        case Event::Text:
            break;
        case Event::Done:
            fail("ends inside an element");
            return false;
        case Event::Failed:
            return false;
        }
    }
    return true;
}

PartXml::Event PartXml::malformed() {
    // Qt takes an entity that no declaration gave for a well-formedness error; said as
    // what it is, the user knows the reference is the trouble, not the XML around it.
    const QString error = xml_.errorString();
    static const QString undeclared = QStringLiteral("Entity '");
    if (error.startsWith(undeclared) && error.endsWith(QStringLiteral("' not declared.")))
        return fail("refers to the entity \"" +
                    Latin1(QStringView(error).sliced(undeclared.size()).chopped(15), 64) +
                    "\", which a workbook never needs");
    std::string why = Latin1(error, 200);
    while (!why.empty() && why.back() == '.')
        why.pop_back();
    failure_ = "the part " + part_ + " is not well-formed XML at line " + std::to_string(line()) +
               ": " + why;
    return Event::Failed;
}

PartXml::Event PartXml::fail(const std::string& why) {
    if (failure_.empty())
        failure_ = "the part " + part_ + " " + why + " (line " + std::to_string(line()) + ")";
    return Event::Failed;
}

std::string utf8Text(QStringView text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

std::string libraryText(QStringView text) {
    // One '?' per character beyond Latin-1, a pair of surrogates being one character.
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
    }
    return out;
}

std::optional<double> partNumber(QStringView text) {
    text = text.trimmed();
    if (text.size() > 1000) return std::nullopt;
    const std::string ascii = Latin1(text, 1000);
    double value = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [at, ec] = std::from_chars(ascii.data(), end, value);
    // No cell can hold an infinity that a library could keep.
    if (ascii.empty() || ec != std::errc() || at != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<long long> partCount(QStringView text) {
    text = text.trimmed();
    if (text.size() > 30) return std::nullopt;
    const std::string ascii = Latin1(text, 30);
    long long value = 0;
    const char* end = ascii.data() + ascii.size();
    const auto [at, ec] = std::from_chars(ascii.data(), end, value);
    if (ascii.empty() || ec != std::errc() || at != end || value < 0) return std::nullopt;
    return value;
}

} // namespace mb
