// Starts the whole program (embedded Word, its document window, the main window) for a test and
// answers every question the windows ask from code.
#pragma once

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <string>

#include "shell/clickable_picture.h"
#include "shell/document_window.h"
#include "shell/main_window.h"
#include "shell/program.h"
#include "shell/prompts.h"
#include "shell/utf8.h"
#include "support/docx_builder.h"

namespace gwtest {

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        shell::prompts().message = [this](QWidget*, const QString& text) { messages << text; };
        shell::prompts().askSave = [this](QWidget*, const QString& name) {
            saveQuestions << name;
            return saveAnswer;
        };
        shell::prompts().chooseOpenFile = [this](QWidget*, shell::FileKind) {
            ++openDialogs;
            return fileToOpen;
        };
        shell::prompts().chooseSaveFile = [this](QWidget*, shell::FileKind, const QString&) { return fileToSaveAs; };
        program = std::make_unique<shell::Program>(backend::startHostedWord());
        settle();
    }

    void TearDown() override {
        program.reset();
        shell::prompts() = shell::systemPrompts();
        settle();
    }

    // Lets queued work (the document window's refresh, deferred deletes) run.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    shell::MainWindow& main() { return *program->mainWindow(); }
    automation::Application& word() { return *program->word(); }
    shell::DocumentWindow* wordWindow() { return program->wordWindow(); }

    QComboBox* combo(const char* name) { return main().findChild<QComboBox*>(QString::fromLatin1(name)); }
    QTimer* documentWatch() { return main().findChild<QTimer*>(QStringLiteral("DocumentWatch")); }
    // The sample image a preview box shows ("Picture5" after load); empty when it shows none of them.
    QString previewImage(settings::EdgeGroup group) {
        const QImage shown = main().preview(group)->pixmap().toImage();
        for (const settings::SampleImage& image : settings::sampleImages())
            if (main().sampleImage(shell::qs(image.name)).toImage() == shown) return shell::qs(image.name);
        return {};
    }
    QCheckBox* check(const char* name) { return main().findChild<QCheckBox*>(QString::fromLatin1(name)); }
    QPushButton* button(const char* name) { return main().findChild<QPushButton*>(QString::fromLatin1(name)); }

    // Writes a document with this body and returns its path.
    QString document(const std::string& name, const std::string& body) {
        const auto path = dir.file(name);
        writeDocx(path, body);
        return QString::fromStdString(path.string());
    }
    automation::DocumentPtr open(const QString& path) { return word().Documents()->Open(path.toStdString()); }

    TempDir dir;
    std::unique_ptr<shell::Program> program;
    QStringList messages;
    QStringList saveQuestions;
    shell::SaveAnswer saveAnswer = shell::SaveAnswer::Cancel;
    QString fileToOpen;
    QString fileToSaveAs;
    int openDialogs = 0;
};

// A table with single borders all round and inside.
std::string borderedTable(int rows, int cols, const std::string& prefix);

}  // namespace gwtest
