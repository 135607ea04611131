#include "main/forms/frmJobErrors.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/core/FailedJobs.h"
#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtText.h"

namespace vellora::forms {
namespace mt = vellora::core::texts;

frmJobErrors::frmJobErrors(core::JobQueues& jobs, core::Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), jobs_(jobs), dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmJobErrors"));
    setWindowTitle(Q(mt::kJobErrCaption));
    lstJobErr = Named<QListWidget>("lstJobErr", this);
    lstJobErrIDs = Named<QListWidget>("lstJobErrIDs", this);
    lstJobErrIDs->setVisible(false);
    cmdVwErrDetails = Named<QPushButton>("cmdVwErrDetails", this);
    cmdRemove = Named<QPushButton>("cmdRemove", this);
    cmdRetry = Named<QPushButton>("cmdRetry", this);
    cmdVwErrDetails->setText(Q(mt::kJobErrView));
    cmdRemove->setText(Q(mt::kJobErrRemove));
    cmdRetry->setText(Q(mt::kJobErrRetry));
    tmrListErrJobs = Named<QTimer>("tmrListErrJobs", this);
    tmrListErrJobs->setInterval(30000);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdVwErrDetails);
    buttons->addWidget(cmdRemove);
    buttons->addWidget(cmdRetry);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstJobErr, 1);
    layout->addLayout(buttons);
    resize(520, 300);
    connect(lstJobErr, &QListWidget::itemClicked, this, [this] { lstJobErr_Click(); });
    connect(cmdVwErrDetails, &QPushButton::clicked, this, [this] { cmdVwErrDetails_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(cmdRetry, &QPushButton::clicked, this, [this] { cmdRetry_Click(); });
    connect(tmrListErrJobs, &QTimer::timeout, this, [this] { tmrListErrJobs_Timer(); });
}

void frmJobErrors::showEvent(QShowEvent* event) {
    Form_Load();
    QWidget::showEvent(event);
}

void frmJobErrors::Form_Load() {
    RefreshErrJobs();
    selJobID.clear();
    tmrListErrJobs->start();
}

void frmJobErrors::RefreshErrJobs() {
    lstJobErr->clear();
    lstJobErrIDs->clear();
    for (const core::FailedJobLine& line : core::FailedJobLines(jobs_.errJobs)) {
        lstJobErr->addItem(Q(line.text));
        lstJobErrIDs->addItem(Q(line.id));
    }
}

void frmJobErrors::lstJobErr_Click() {
    const int row = lstJobErr->currentRow();
    if (row >= 0 && row < lstJobErrIDs->count()) selJobID = S(lstJobErrIDs->item(row)->text());
}

void frmJobErrors::tmrListErrJobs_Timer() {
    // Leaves the lists alone while the user has a job selected.
    if (lstJobErr->selectedItems().isEmpty()) RefreshErrJobs();
}

void frmJobErrors::cmdVwErrDetails_Click() {
    if (const auto detail = core::FailedJobDetail(jobs_.errJobs, selJobID))
        dialogs_.MessageBox(*detail, core::MsgButtons::Ok, mt::kJobErrDetailTitle);
}

void frmJobErrors::cmdRemove_Click() {
    if (selJobID.empty()) return;
    core::RemoveFailedJob(jobs_.errJobs, selJobID);
    RefreshErrJobs();
    selJobID.clear();
}

void frmJobErrors::cmdRetry_Click() {
    if (selJobID.empty()) return;
    if (core::RetryFailedJob(jobs_, selJobID) == core::RetryOutcome::AlreadyQueued) {
        dialogs_.MessageBox(core::RetryRefusedMessage(), core::MsgButtons::Ok,
                            core::RetryRefusedTitle());
        return;
    }
    RefreshErrJobs();
    selJobID.clear();
}

}  // namespace vellora::forms
