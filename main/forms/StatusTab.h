// Tab 0: the three status logs in SSTab3 and the last/next check labels.
#pragma once

#include <QLabel>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QWidget>

#include "main/core/StatusLogs.h"

namespace vellora::forms {

class StatusTab : public QWidget {
    Q_OBJECT
  public:
    explicit StatusTab(QWidget* parent = nullptr);
    void SetTexts();
    // Shows a log box's whole text (lines end in CR LF in the log; the box shows LF).
    void ShowBox(core::StatusBox box, const std::string& text);
    QPlainTextEdit* Box(core::StatusBox box) const;

    QTabWidget* SSTab3;
    QPlainTextEdit* txtMailStatus;
    QPlainTextEdit* txtErrorStatus;
    QPlainTextEdit* txtSucStatus;
    QLabel* lblLastCheckCaption;
    QLabel* lblLastCheck;
    QLabel* lblNextCheckCaption;
    QLabel* lblNextCheck;
};

}  // namespace vellora::forms
