#pragma once

// The platform services over Qt: message boxes, file dialogs, the settings back end and
// the locale.

#include "Controls.h"
#include "Locale.h"
#include "Settings.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace mb::qt {

class QtMessageBox : public MessageBox {
public:
    /// `parent` is the window the boxes are modal to; it may change with `setParent`.
    explicit QtMessageBox(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    MsgResult show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                   const std::string& title = "") override;

private:
    QWidget* parent_;
};

class QtFileDialogs : public FileDialogs {
public:
    explicit QtFileDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    std::optional<std::string> openFile(const std::string& title,
                                        const std::string& filter) override;
    std::optional<std::string> saveFile(const std::string& title, const std::string& filter,
                                        const std::string& proposedPath) override;

    /// "Desc|pattern|Desc|pattern" as Qt's "Desc (pattern);;Desc (pattern)".
    static QString toQtFilter(const std::string& filter);
    /// The descriptions of "Desc|pattern|Desc|pattern" exactly as written.
    static QStringList filterDescriptions(const std::string& filter);

private:
    QWidget* parent_;
};

/// Settings in an INI file: by default the user's own configuration location, or the
/// file given (tests point it at a temporary folder). Binary values are kept as byte
/// arrays so that their type survives the round trip.
class QtSettingsBackend : public SettingsBackend {
public:
    QtSettingsBackend();
    explicit QtSettingsBackend(const QString& iniFile);
    std::unique_ptr<SettingsKey> openKey(const std::string& keyName) override;
    std::unique_ptr<SettingsKey> createKey(const std::string& keyName) override;

    const QString& fileName() const { return file_; }

private:
    QString file_;
};

class QtLocale : public Locale {
public:
    std::string decimalSeparator() const override;
};

} // namespace mb::qt
