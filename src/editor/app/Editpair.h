#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QString>

namespace vesk {

// A caption with an edit box to its right, placed by hand on a form: the
// label takes seven tenths of the pair's width and the edit box the rest.
// Both controls belong to the form given to the constructor; the pair
// destroys them unless the form has already done so.
class TEditPair {
public:
    explicit TEditPair(QWidget* form);
    ~TEditPair();
    TEditPair(const TEditPair&) = delete;
    TEditPair& operator=(const TEditPair&) = delete;

    void SetParent(QWidget* form);
    void SetCaption(const QString& text);
    void SetText(const QString& text);
    QString GetText() const;
    void SetLeft(int x);
    void SetTop(int y);
    void SetWidth(int w);

    QLabel* Label() const { return label_; }
    QLineEdit* Edit() const { return edit_; }

private:
    void placeEdit();

    QPointer<QLabel> label_;
    QPointer<QLineEdit> edit_;
};

} // namespace vesk
