// The modal questions the windows ask the user. Every window goes through prompts(), so a test can
// answer them in code instead of leaving a dialog waiting.
#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace shell {

// The program's title, used for the main window and every message box.
inline const char* const kProgramTitle = "Gridwright";

enum class SaveAnswer { Save, Discard, Cancel };

// What a file chooser offers: Word documents, settings files (FIELD=TEXT lines) or PDF files.
enum class FileKind { Document, Settings, Pdf };

struct Prompts {
    // A message box with one OK button, titled with the program's title.
    std::function<void(QWidget* parent, const QString& text)> message;
    // "是否保存对 … 的更改？" with 是 / 否 / 取消.
    std::function<SaveAnswer(QWidget* parent, const QString& documentName)> askSave;
    // The file to open; empty when the user cancelled.
    std::function<QString(QWidget* parent, FileKind kind)> chooseOpenFile;
    // The file to save to; empty when the user cancelled.
    std::function<QString(QWidget* parent, FileKind kind, const QString& suggestion)> chooseSaveFile;
    // The print dialog: the printer and the pages to print; false when the user cancelled.
    std::function<bool(QWidget* parent, QPrinter& printer)> setUpPrinter;
};

// The dialogs of the window system.
Prompts systemPrompts();

// The prompts the windows use now (the system's unless something replaced them).
Prompts& prompts();

}  // namespace shell
