// The failed-jobs window: lists the jobs the dispatcher settled as failed and lets the user
// read a job's detail, drop it or hand it back to the queue. It keeps nothing of its own
// but the selected job id; the lists are rebuilt from ErrJobs.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <string>

#include "main/core/JobQueue.h"
#include "main/core/Seams.h"

namespace vellora::forms {

class frmJobErrors : public QWidget {
    Q_OBJECT
  public:
    frmJobErrors(core::JobQueues& jobs, core::Dialogs& dialogs, QWidget* parent = nullptr);

    void Form_Load();  // runs each time the window is shown
    void RefreshErrJobs();
    void lstJobErr_Click();
    void cmdVwErrDetails_Click();
    void cmdRemove_Click();
    void cmdRetry_Click();
    void tmrListErrJobs_Timer();

    QListWidget* lstJobErr;
    QListWidget* lstJobErrIDs;  // hidden, parallel to lstJobErr
    QPushButton* cmdVwErrDetails;
    QPushButton* cmdRemove;
    QPushButton* cmdRetry;
    QTimer* tmrListErrJobs;
    std::string selJobID;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    core::JobQueues& jobs_;
    core::Dialogs& dialogs_;
};

}  // namespace vellora::forms
