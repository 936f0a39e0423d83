#pragma once

#include "app/Userdialogs.h"

#include <deque>
#include <vector>

namespace vesk {

// Scripted answers for the editor's questions and file dialogs, and a record
// of what was asked and shown.
class FakeDialogs : public TUserDialogs {
public:
    struct Message {
        QString caption;
        QString text;
    };

    TSaveAnswer AskYesNoCancel(QWidget*, const QString& caption, const QString& text) override
    {
        questions.push_back({ caption, text });
        if (answers.empty())
            return TSaveAnswer::Cancel;
        const TSaveAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void ShowError(QWidget*, const QString& caption, const QString& text) override
    {
        errors.push_back({ caption, text });
    }
    QString GetOpenFileName(QWidget*, const TFileDialogOptions& options) override
    {
        openOptions.push_back(options);
        return openName;
    }
    QString GetSaveFileName(QWidget*, const TFileDialogOptions& options) override
    {
        saveOptions.push_back(options);
        return saveName;
    }

    QString GetExistingDirectory(QWidget*, const QString& caption, const QString& start) override
    {
        folderRequests.push_back({ caption, start });
        return folderName;
    }
    void ShowMessage(QWidget*, const QString& caption, const QString& text) override
    {
        messages.push_back({ caption, text });
    }

    TRecoveryAnswer AskRecovery(QWidget*, const QString& recoveryPath) override
    {
        recoveryQuestions.push_back(recoveryPath);
        if (recoveryAnswers.empty())
            return TRecoveryAnswer::Later;
        const TRecoveryAnswer answer = recoveryAnswers.front();
        recoveryAnswers.pop_front();
        return answer;
    }

    std::deque<TSaveAnswer> answers;
    std::deque<TRecoveryAnswer> recoveryAnswers;
    // The recovery file of each recovery question.
    std::vector<QString> recoveryQuestions;
    QString openName;
    QString saveName;

    std::vector<Message> questions;
    std::vector<Message> errors;
    // Reports that need no answer.
    std::vector<Message> messages;
    QString folderName;
    // Caption and start folder of each folder dialog.
    std::vector<Message> folderRequests;
    std::vector<TFileDialogOptions> openOptions;
    std::vector<TFileDialogOptions> saveOptions;
};

} // namespace vesk
