// The about window opened by "使 用 说 明": what the program does and how to use it.
#pragma once

#include <QWidget>

namespace shell {

class AboutWindow : public QWidget {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace shell
