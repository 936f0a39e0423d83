#pragma once

#include <QDialog>
#include <optional>

class QFormLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vesk {

struct TVeskNumericMove;

// The modal dialog "数値入力" of the select tool: an offset in X and Y in
// millimetres, or (the second choice) the place of the selection's snapped
// centre, and an optional turn in degrees for the selection. OK takes
// the values only when every field holds a number within its limits; a
// field that does not is marked and keeps the dialog open, so nothing moves
// on a typing error. Full-width digits and signs are read as their ASCII
// forms.
class TNumericInputForm : public QDialog {
    Q_OBJECT
public:
    explicit TNumericInputForm(QWidget* parent = nullptr);

    // Shows the move's values and waits; on OK the move holds what was typed.
    bool Ask(TVeskNumericMove& move);
    // Reads the fields into the move, marking each one that is not
    // acceptable; false, with the move unchanged, when any is not.
    bool ReadFields(TVeskNumericMove& move);
    void ShowValues(const TVeskNumericMove& move);

    // A number of at most `limit` in size; empty text is `empty` when given.
    static std::optional<double> ParseNumber(
        const QString& text, double limit, std::optional<double> empty = std::nullopt);

    QLineEdit* XEdit() const { return xEdit_; }
    QLineEdit* YEdit() const { return yEdit_; }
    QLineEdit* AngleEdit() const { return angleEdit_; }
    QRadioButton* RelativeChoice() const { return relative_; }
    QRadioButton* AbsoluteChoice() const { return absolute_; }
    QPushButton* OKButton() const { return okButton_; }
    QPushButton* CancelButton() const { return cancelButton_; }
    QLabel* MessageLabel() const { return message_; }
    static bool IsMarked(const QLineEdit* edit);

private:
    void OKButtonClick();
    static void setMarked(QLineEdit* edit, bool marked);
    // Labels and values of the X and Y fields for the chosen kind of move.
    void showKind(bool absolute);

    QLineEdit* xEdit_;
    QLineEdit* yEdit_;
    QLineEdit* angleEdit_;
    QRadioButton* relative_;
    QRadioButton* absolute_;
    QFormLayout* fields_ = nullptr;
    double centreXMm_ = 0.0;
    double centreYMm_ = 0.0;
    QLabel* message_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    double dx_ = 0.0;
    double dy_ = 0.0;
    double angle_ = 0.0;
};

} // namespace vesk
