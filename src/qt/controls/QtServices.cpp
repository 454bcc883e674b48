#include "QtServices.h"

#include "QtText.h"
#include "UserFolders.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLocale>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>

namespace mb::qt {

namespace {

std::string FromQtPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

MsgResult QtMessageBox::show(const std::string& text, MsgButtons buttons, MsgIcon icon,
                             const std::string& title) {
    QMessageBox box(parent_);
    box.setWindowTitle(title.empty() ? QString::fromLatin1(kApplicationTitle) : toQ(title));
    box.setText(toQ(text));
    switch (icon) {
    case MsgIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case MsgIcon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    }
    QMessageBox::StandardButtons set;
    QMessageBox::StandardButton escape = QMessageBox::NoButton;
    switch (buttons) {
    case MsgButtons::OK:
        set = QMessageBox::Ok;
        escape = QMessageBox::Ok;
        break;
    case MsgButtons::OKCancel:
        set = QMessageBox::Ok | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        set = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
        break;
    case MsgButtons::YesNoCancel:
        set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    case MsgButtons::RetryCancel:
        set = QMessageBox::Retry | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
        break;
    }
    box.setStandardButtons(set);
    box.setEscapeButton(escape);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::OK;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Retry:
        return MsgResult::Retry;
    default:
        return buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel;
    }
}

QString QtFileDialogs::toQtFilter(const std::string& filter) {
    const QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, with or without a dot in its name.
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) p = QStringLiteral("*");
        }
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the last parentheses of an entry; a description that
        // already shows them in parentheses would otherwise offer the shown ones.
        description.remove(QRegularExpression(QStringLiteral("\\s*\\([^()]*\\)$")));
        entries << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return entries.join(QStringLiteral(";;"));
}

QStringList QtFileDialogs::filterDescriptions(const std::string& filter) {
    const QStringList parts = toQ(filter).split(QLatin1Char('|'));
    QStringList descriptions;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        descriptions << parts[i];
    return descriptions;
}

std::optional<std::string> QtFileDialogs::openFile(const std::string& title,
                                                   const std::string& filter) {
    // Qt's own dialog rather than the desktop's: Qt folds runs of blanks in the filter
    // texts it is given, and only in its own dialog can they be shown as they are written.
    QFileDialog dialog(parent_, toQ(title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (const QString qtFilter = toQtFilter(filter); !qtFilter.isEmpty()) {
        dialog.setNameFilters(qtFilter.split(QStringLiteral(";;")));
        // The filtering goes by the patterns Qt keeps; only the texts shown are replaced.
        if (auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
            const QStringList shown = filterDescriptions(filter);
            for (int i = 0; i < combo->count() && i < shown.size(); ++i)
                combo->setItemText(i, shown[i]);
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FromQtPath(dialog.selectedFiles().first());
}

std::optional<std::string> QtFileDialogs::saveFile(const std::string& title,
                                                   const std::string& filter,
                                                   const std::string& proposedPath) {
    // The proposed path puts the dialog in its folder with its name typed in.
    QFileDialog dialog(parent_, toQ(title), QFile::decodeName(proposedPath.c_str()));
    dialog.setOption(QFileDialog::DontUseNativeDialog); // as the open dialog, for its filters
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name typed without an extension gets the chosen filter's (".lib" for the library
    // filter), or ".lib" while no filter is offered at all: Save As only saves libraries.
    const auto suffixFor = [](const QString& nameFilter) {
        if (nameFilter.isEmpty()) return QStringLiteral("lib");
        static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = pattern.match(nameFilter);
        return match.hasMatch() ? match.captured(1) : QString();
    };
    const QString qtFilter = toQtFilter(filter);
    if (!qtFilter.isEmpty()) dialog.setNameFilters(qtFilter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(
        suffixFor(qtFilter.isEmpty() ? QString() : dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, suffixFor](const QString& chosen) {
                         dialog.setDefaultSuffix(suffixFor(chosen));
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FromQtPath(dialog.selectedFiles().first());
}

// ---- Settings -------------------------------------------------------------------------

namespace {

class QtSettingsKey : public SettingsKey {
public:
    QtSettingsKey(const QString& file, const QString& group)
        : settings_(file, QSettings::IniFormat) {
        settings_.beginGroup(group);
    }

    SettingsValue queryValue(const std::string& valueName) const override {
        const QVariant v = settings_.value(toQ(valueName));
        if (!v.isValid()) return {};
        switch (v.typeId()) {
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            return {SettingsValue::Type::Binary,
                    std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()))};
        }
        case QMetaType::QString:
            return {SettingsValue::Type::Text, fromQ(v.toString())};
        default:
            return {SettingsValue::Type::Other, {}};
        }
    }

    bool setBinaryValue(const std::string& valueName, const std::string& bytes) override {
        settings_.setValue(toQ(valueName),
                           QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
        settings_.sync();
        return settings_.status() == QSettings::NoError;
    }

private:
    mutable QSettings settings_;
};

} // namespace

QtSettingsBackend::QtSettingsBackend() : QtSettingsBackend(writableUserFolder(UserFolder::Config)) {
    if (!file_.isEmpty()) file_ += QStringLiteral("/VELTRA/MaterialBrowser.ini");
}

QtSettingsBackend::QtSettingsBackend(const QString& iniFile) : file_(iniFile) {}

std::unique_ptr<SettingsKey> QtSettingsBackend::openKey(const std::string& keyName) {
    if (file_.isEmpty()) return nullptr;
    QSettings settings(file_, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.childGroups().contains(toQ(keyName)))
        return nullptr;
    return std::make_unique<QtSettingsKey>(file_, toQ(keyName));
}

std::unique_ptr<SettingsKey> QtSettingsBackend::createKey(const std::string& keyName) {
    if (file_.isEmpty()) return nullptr;
    // An INI group exists once it holds a value; the first write creates it.
    return std::make_unique<QtSettingsKey>(file_, toQ(keyName));
}

std::string QtLocale::decimalSeparator() const {
    return fromQ(QLocale::system().decimalPoint());
}

} // namespace mb::qt
