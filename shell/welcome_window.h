// Form5, the welcome window: how to open the document, and the two buttons to open it or to leave.
#pragma once

#include <QWidget>

class QPushButton;

namespace shell {

class WelcomeWindow : public QWidget {
    Q_OBJECT
public:
    explicit WelcomeWindow(QWidget* parent = nullptr);

    QPushButton* openButton() const { return openButton_; }
    QPushButton* exitButton() const { return exitButton_; }

    // Shows the window modeless in the middle of the screen.
    void showCentred();

signals:
    void openRequested();
    void exitRequested();

private:
    QPushButton* openButton_;
    QPushButton* exitButton_;
};

}  // namespace shell
