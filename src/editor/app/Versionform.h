#pragma once

#include <QDialog>

class QLabel;

namespace vesk {

// The version dialog "バージョン情報": the program icon, the version line
// and one fixed line of text. It has no buttons; the window frame (or
// Escape) closes it. Created once, centred on the screen.
class TVersionForm : public QDialog {
    Q_OBJECT
public:
    explicit TVersionForm(QWidget* parent = nullptr);

    QLabel* VersionLabel() const { return versionLabel; }

private:
    QLabel* versionLabel = nullptr;
};

} // namespace vesk
