// Form1, the single-table window: a small window above all others with "确 定" (format the table
// that holds Word's selection) and "返 回" (back to the main window).
#pragma once

#include <QWidget>

class QPushButton;

namespace shell {

class SingleTableWindow : public QWidget {
    Q_OBJECT
public:
    explicit SingleTableWindow(QWidget* parent = nullptr);

    QPushButton* okButton() const { return okButton_; }
    QPushButton* returnButton() const { return returnButton_; }

signals:
    void okRequested();
    void returnRequested();
    // The user closed the window with its close box.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPushButton* okButton_;
    QPushButton* returnButton_;
};

}  // namespace shell
