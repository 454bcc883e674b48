#pragma once

#include <QByteArray>
#include <QStringView>
#include <QXmlStreamReader>

#include <optional>
#include <string>

namespace mb {

/// One XML part of a workbook, read as a stream of elements and texts. A document type
/// declaration or an entity reference ends the reading as a failure: a workbook needs
/// neither, and both are how XML is made to expand without bound.
class PartXml {
public:
    /// `bytes` must outlive the reader: they are read where they lie.
    PartXml(std::string part, const std::string& bytes);

    enum class Event { Start, End, Text, Done, Failed };
    /// The next element start, element end or text; Done at the document's end.
    Event next();

    /// The local name of the element just started or ended.
    QStringView name() const { return xml_.name(); }
    /// An attribute of the element just started, by local name in any namespace
    /// (`ns` empty) or in the namespace `ns`.
    std::optional<QStringView> attribute(QStringView local, QStringView ns = {}) const;
    /// The text just read.
    QStringView text() const { return xml_.text(); }
    /// Skips what is left of the element just started, its end included.
    bool skipElement();
    long long line() const { return xml_.lineNumber(); }

    /// Ends the reading with `why` (which goes after "the part NAME "), naming the line.
    Event fail(const std::string& why);
    /// Why reading failed: "the part NAME ...", to follow "cannot be read: ".
    const std::string& failure() const { return failure_; }
    const std::string& part() const { return part_; }

private:
    Event malformed();

    std::string part_;
    QXmlStreamReader xml_;
    std::string failure_;
};

/// Text of a part for a message: Latin-1, one '?' for each character beyond it.
std::string libraryText(QStringView text);

/// Text of a part as a cell holds it: UTF-8.
std::string utf8Text(QStringView text);

/// A whole decimal number (std::from_chars), or nothing.
std::optional<double> partNumber(QStringView text);

/// A whole non-negative integer, or nothing.
std::optional<long long> partCount(QStringView text);

} // namespace mb
