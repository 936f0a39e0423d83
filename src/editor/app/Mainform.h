#pragma once

#include <QMainWindow>

namespace vesk {

// The main drawing window: menus, status bar and the drawing view.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;
};

} // namespace vesk
