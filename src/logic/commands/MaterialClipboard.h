#pragma once

#include "clsMaterial.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace mb {

class Clipboard;

/// The clipboard form that carries a material from one running program to another.
inline constexpr const char* kMaterialMimeType = "application/x-matbrowser-material";
/// The first line of that form, before the header fields and the material's block.
inline constexpr const char* kMaterialClipMagic = "MATBROWSER-MATERIAL 1";
/// More than a material of every property takes, many times over.
inline constexpr std::size_t kMaxMaterialClipSize = 64 * 1024;

/// Said when the clipboard's material cannot be pasted; the reason follows.
inline constexpr const char* kClipboardMaterialUnreadable =
    "The material on the clipboard cannot be pasted: ";

/// When and by which running program a material was copied. `time` is the machine's
/// monotonic clock, which every process of one boot shares; `boot` tells boots apart, so a
/// copy kept across a restart or made on another machine is never compared by its time.
struct ClipStamp {
    std::string origin; ///< the copying program: its process id and a number of its own
    std::string boot;   ///< the machine's boot id ("" when it cannot be read)
    std::int64_t time = 0;

    friend bool operator==(const ClipStamp&, const ClipStamp&) = default;
};

/// A material read from the clipboard: its texts as its material line gives them (name
/// trimmed, description whole) and a record with its values.
struct ClipMaterial {
    ClipStamp stamp;
    std::string name;
    std::string nameCode;
    std::string description;
    clsMaterial record;
};

/// The clipboard form of a material: the header lines of `stamp`, then `block`.
std::string materialClipText(const ClipStamp& stamp, std::string_view block);

/// The stamp of a clipboard form; nullopt when its header cannot be read.
std::optional<ClipStamp> readClipStamp(std::string_view clip);

/// Reads a clipboard form whole: its header and exactly one material block, every line
/// as the library writer writes it. A form that does not read gives the reason, naming
/// the line ("line 5 names no property: ...").
std::variant<ClipMaterial, std::string> readMaterialClip(std::string_view clip);

/// The rows of a grid as tab-separated lines, blanks at the ends of cells dropped; a tab
/// or line break inside a cell becomes a blank.
std::string tabSeparatedRows(const std::vector<std::array<std::string, 4>>& rows);

/// The system clipboard as Copy and Paste of materials use it. One per running program
/// (or per application object): it knows its own copies by their origin, and when this
/// program last copied, so that Paste takes a material from the clipboard only when
/// another program copied it after that.
class MaterialClipboard {
public:
    /// `now` gives the monotonic clock in nanoseconds, `boot` the machine's boot id; the
    /// defaults read the system's.
    explicit MaterialClipboard(Clipboard& clipboard, std::function<std::int64_t()> now = {},
                               std::optional<std::string> boot = std::nullopt);

    /// Puts a copied material on the clipboard: `block` as a save writes it, under the
    /// material form with this program's stamp, and `text` as plain text.
    void putMaterial(std::string_view block, const std::string& text);
    /// A Copy that was refused: whatever the clipboard held before it is older than it.
    void noteCopy();

    /// What Paste should do about the clipboard.
    struct Foreign {
        /// The material to paste, or the reason it cannot be read.
        std::variant<ClipMaterial, std::string> material;
    };
    /// A material another program copied after this one's last Copy (at any time when
    /// this one never copied); nullopt when Paste takes the copy inside the window.
    std::optional<Foreign> foreignMaterial() const;

    const std::string& origin() const { return origin_; }

private:
    ClipStamp stampNow() const;

    Clipboard& clipboard_;
    std::function<std::int64_t()> now_;
    std::string origin_;
    std::string boot_;
    std::optional<ClipStamp> lastCopy_;
};

} // namespace mb
