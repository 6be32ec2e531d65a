#include "ui/platform/QtUserDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QStringList>

namespace orma::ui {

namespace {

QString q(const std::string& text) { return QString::fromStdString(text); }

std::string s(const QString& text) { return text.toStdString(); }

QString title() {
    const QString name = QApplication::applicationDisplayName();
    return name.isEmpty() ? QStringLiteral("ORMA") : name;
}

QString patternsOf(const QString& filterText) {
    QStringList patterns;
    for (const QString& raw : filterText.split(';', Qt::SkipEmptyParts)) {
        const QString pattern = raw.trimmed();
        for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
            if (!variant.isEmpty() && !patterns.contains(variant)) patterns << variant;
        }
    }
    return patterns.join(' ');
}

std::optional<std::string> chosen(const QString& name) {
    if (name.isEmpty()) return std::nullopt;
    return s(name);
}

}  // namespace

std::string toQtFileFilter(const std::string& filter) {
    const QStringList parts = q(filter).split('|');
    if (parts.size() < 2) return s(patternsOf(q(filter)));
    QStringList filters;
    QStringList seen;  // entries that differ only in the case of a pattern are one entry
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString entry = QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), patternsOf(parts[i + 1]));
        const QString key = parts[i].trimmed() + '|' + parts[i + 1].trimmed().toLower();
        if (seen.contains(key)) continue;
        seen << key;
        filters << entry;
    }
    return s(filters.join(QStringLiteral(";;")));
}

std::string withDefaultExtension(const std::string& path, const std::string& extension) {
    QString ext = q(extension);
    while (ext.startsWith('.')) ext.remove(0, 1);
    if (ext.isEmpty() || path.empty()) return path;
    const QFileInfo info(q(path));
    if (!info.suffix().isEmpty()) return path;
    // "name." has an empty suffix too: do not double the dot.
    return path.back() == '.' ? path + s(ext) : path + "." + s(ext);
}

void QtUserDialogs::message(const std::string& text) { QMessageBox::information(parent_, title(), q(text)); }

std::optional<std::string> QtUserDialogs::inputQuery(const std::string& caption, const std::string& prompt,
                                                     const std::string& proposed) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent_, q(caption), q(prompt), QLineEdit::Normal, q(proposed), &ok);
    if (!ok) return std::nullopt;
    return s(text);
}

std::optional<std::string> QtUserDialogs::openFile(const FileDialogOptions& options) {
    const auto name = chosen(QFileDialog::getOpenFileName(parent_, title(), q(options.proposedName),
                                                          q(toQtFileFilter(options.filter))));
    if (!name || QFileInfo::exists(q(*name))) return name;
    return withDefaultExtension(*name, options.defaultExtension);
}

std::optional<std::string> QtUserDialogs::saveFile(const FileDialogOptions& options) {
    const auto name = chosen(QFileDialog::getSaveFileName(parent_, title(), q(options.proposedName),
                                                          q(toQtFileFilter(options.filter)), nullptr,
                                                          QFileDialog::DontConfirmOverwrite));
    if (!name) return name;
    return withDefaultExtension(*name, options.defaultExtension);
}

}  // namespace orma::ui
