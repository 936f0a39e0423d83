#pragma once

#include "drc/Designrulecheck.h"

#include <QDialog>
#include <array>
#include <cstdint>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace vesk {

class TVeskForm;

// The window "デザインルールチェック": the rules in millimetres and the
// layers checked as copper (kept in the "DesignRules" section of the
// settings file when a check runs), and what the last check found, one row
// each. A click on a row zooms the drawing to it; every finding is marked in
// the drawing until the document changes or "クリア" is pressed. Not modal:
// the user edits with the list open and checks again.
class TDrcForm : public QDialog {
    Q_OBJECT
public:
    enum Rule { Clearance, Width, Ring, HoleGap, Edge, RuleCount };

    TDrcForm(TVeskForm& mainForm, QString settingsFileName, QWidget* parent = nullptr);

    // Checks the document with the rules in the boxes, with a cancellable
    // progress window on a large board, and shows what was found. A box
    // holding no distance is marked and nothing is checked. False when
    // nothing was checked or the check was cancelled.
    bool RunCheck();
    // Empties the list and takes the marks out of the drawing.
    void ClearFindings();
    // Drops the findings once the document is no longer the one checked.
    void NoteRevision(std::uint64_t revision);

    const std::vector<TDrcFinding>& Findings() const { return findings_; }
    QLineEdit* RuleEdit(Rule rule) const { return edits_[rule]; }
    QListWidget* LayerList() const { return layerList_; }
    QTreeWidget* FindingList() const { return findingList_; }
    QPushButton* CheckButton() const { return checkButton_; }
    QPushButton* ClearButton() const { return clearButton_; }
    QLabel* Summary() const { return summary_; }

private:
    void readSettings();
    void writeSettings(const TDesignRules& rules) const;
    // The copper layers offered: those of the document, ticked as kept.
    void fillLayers();
    bool readRules(TDesignRules& rules);
    void showFindings();
    void showFinding(int row);
    void mark(int chosen);
    void placeBesideTheWindows();

    TVeskForm& mainForm_;
    QString settingsFileName_;
    std::array<QLineEdit*, RuleCount> edits_ {};
    QListWidget* layerList_ = nullptr;
    QTreeWidget* findingList_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* checkButton_ = nullptr;
    QPushButton* clearButton_ = nullptr;
    QStringList copperLayers_;
    std::vector<TDrcFinding> findings_;
    std::uint64_t checkedRevision_ = 0;
    bool placed_ = false;
};

} // namespace vesk
