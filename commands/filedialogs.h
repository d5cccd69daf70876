#pragma once
// The open and save file dialogs of the editor. Tests answer them by script instead of showing them.

#include "filenames.h"

#include <QFile>
#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace qm {

// The open dialog of levels files (Open Levels File, From Other .lev File).
inline constexpr const char *kOpenLevelsTitle = "Open levels file";
inline constexpr const char *kOpenLevelsFilter = "Levels data file|*.lev|All files|*.*";

// File names are the system's bytes (fromPath, toPath: filenames.h; texts of the store: storetext.h).

struct FileDialogRequest {
    enum class Mode { Open, Save } mode = Mode::Open;
    QString title;
    QString filter;           // label|pattern pairs, as "Levels data file|*.lev|All files|*.*"
    QString initialDirectory; // empty: the toolkit's default
    QString initialName;      // the file name proposed
    bool refuseReadOnly = false; // a read-only file is not accepted (the levels files the editor writes)
};

// The chosen file's full path, or an empty text when the dialog was cancelled. An open dialog
// accepts only existing files.
QString showFileDialog(const FileDialogRequest &request, QWidget *parent = nullptr);

// Test hook: while set, every file dialog is answered by the responder.
using FileDialogResponder = std::function<QString(const FileDialogRequest &request)>;
void setFileDialogResponder(FileDialogResponder responder);

// "Label|*.a|Other|*.b" as the toolkit writes filters: "Label (*.a);;Other (*.b)".
QString toolkitFilter(const QString &filter);

} // namespace qm
