#include "main/forms/frmFirstWizard.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtText.h"

namespace vellora::forms {
namespace tx = vellora::core::texts;

frmFirstWizard::frmFirstWizard(mail::MailSession* session, core::Dialogs& dialogs,
                               std::string settingsPath, std::int16_t maxAcctID, QWidget* parent)
    : QWidget(parent, Qt::Window),
      session_(session),
      dialogs_(dialogs),
      path_(std::move(settingsPath)),
      maxAcctID_(maxAcctID) {
    setObjectName(QStringLiteral("frmFirstWizard"));
    setWindowTitle(Q(tx::kWizTitle));
    lblInfo = Named<QLabel>("lblInfo", this);
    lblInfo->setWordWrap(true);
    lblFld1 = Named<QLabel>("lblFld1", this);
    lblFld2 = Named<QLabel>("lblFld2", this);
    txtFld1 = Named<QLineEdit>("txtFld1", this);
    txtFld2 = Named<QLineEdit>("txtFld2", this);
    cboFld1 = Named<QComboBox>("cboFld1", this);
    cboFld2 = Named<QComboBox>("cboFld2", this);
    cmdFld1 = Named<QPushButton>("cmdFld1", this);
    cmdFld2 = Named<QPushButton>("cmdFld2", this);
    cmdBack = Named<QPushButton>("cmdBack", this, Q(tx::kWizBack));
    cmdNext = Named<QPushButton>("cmdNext", this, Q(tx::kWizNext));
    cmdFinish = Named<QPushButton>("cmdFinish", this, Q(tx::kWizFinish));
    cmdCancel = Named<QPushButton>("cmdCancel", this, Q(tx::kWizCancel));
    for (QLineEdit* e : {txtFld1, txtFld2}) {
        e->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }

    auto* fields = new QGridLayout;
    fields->addWidget(lblFld1, 0, 0);
    fields->addWidget(txtFld1, 0, 1);
    fields->addWidget(cboFld1, 0, 1);
    fields->addWidget(cmdFld1, 0, 1);
    fields->addWidget(lblFld2, 1, 0);
    fields->addWidget(txtFld2, 1, 1);
    fields->addWidget(cboFld2, 1, 1);
    fields->addWidget(cmdFld2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {cmdBack, cmdNext, cmdFinish, cmdCancel}) buttons->addWidget(b);
    auto* all = new QVBoxLayout(this);
    all->addWidget(lblInfo);
    all->addLayout(fields);
    all->addStretch(1);
    all->addLayout(buttons);
    resize(480, 240);

    connect(cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(cmdFinish, &QPushButton::clicked, this, [this] { cmdFinish_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdFld1, &QPushButton::clicked, this, [this] { cmdFld_Click(); });
    connect(cmdFld2, &QPushButton::clicked, this, [this] { cmdFld_Click(); });
    ShowPage();
}

void frmFirstWizard::ShowField(int field) {
    const core::WizardStep& step = model_.Step(model_.Current());
    const std::size_t i = static_cast<std::size_t>(field - 1);
    QLabel* label = field == 1 ? lblFld1 : lblFld2;
    QLineEdit* text = field == 1 ? txtFld1 : txtFld2;
    QComboBox* list = field == 1 ? cboFld1 : cboFld2;
    QPushButton* button = field == 1 ? cmdFld1 : cmdFld2;
    const std::int32_t kind = step.kind[i];
    label->setVisible(kind == core::kFieldText || kind == core::kFieldList ||
                      kind == core::kFieldPassword);
    text->setVisible(kind == core::kFieldText || kind == core::kFieldPassword);
    list->setVisible(kind == core::kFieldList);
    button->setVisible(kind == core::kFieldButton);
    label->setText(Q(step.label[i]));
    if (kind == core::kFieldText || kind == core::kFieldPassword) {
        text->setEchoMode(kind == core::kFieldPassword ? QLineEdit::Password : QLineEdit::Normal);
        text->setText(Q(step.value[i]));
    } else if (kind == core::kFieldList) {
        list->clear();
        for (const std::string& choice : core::ListChoices(step.choices[i])) {
            list->addItem(Q(choice));
        }
        list->setCurrentIndex(step.value[i].empty() ? -1 : list->findText(Q(step.value[i])));
    } else if (kind == core::kFieldButton) {
        button->setText(Q(step.label[i]));
    }
}

void frmFirstWizard::ShowPage() {
    lblInfo->setText(Q(model_.Step(model_.Current()).info));
    ShowField(1);
    ShowField(2);
    const int page = model_.Current();
    cmdBack->setEnabled(page != 1);
    cmdNext->setEnabled(page != core::FirstWizardModel::kPages);
    cmdFinish->setEnabled(page == core::FirstWizardModel::kPages);
}

void frmFirstWizard::ReadFields() {
    const core::WizardStep& step = model_.Step(model_.Current());
    for (int field = 1; field <= 2; ++field) {
        const std::int32_t kind = step.kind[static_cast<std::size_t>(field - 1)];
        QString read;
        if (kind == core::kFieldText || kind == core::kFieldPassword) {
            read = (field == 1 ? txtFld1 : txtFld2)->text();
        } else if (kind == core::kFieldList) {
            read = (field == 1 ? cboFld1 : cboFld2)->currentText();
        } else if (kind == core::kFieldButton) {
            read = (field == 1 ? cmdFld1 : cmdFld2)->property("tag").toString();
        }
        model_.Read(field, S(read));
    }
}

void frmFirstWizard::cmdNext_Click() {
    ReadFields();
    model_.Next();
    ShowPage();
}

void frmFirstWizard::cmdBack_Click() {
    ReadFields();
    model_.Back();
    ShowPage();
}

void frmFirstWizard::cmdFld_Click() {
    if (session_ == nullptr) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    model_.TestAccount(*session_, dialogs_);
    QApplication::restoreOverrideCursor();
}

void frmFirstWizard::cmdFinish_Click() {
    ReadFields();
    model_.Finish(path_, maxAcctID_);
    Finished = true;
    Cancelled = false;
    hide();
    emit finished();
}

void frmFirstWizard::cmdCancel_Click() {
    Finished = true;
    Cancelled = true;
    hide();
    emit finished();
}

void frmFirstWizard::closeEvent(QCloseEvent* event) {
    if (!Finished) cmdCancel_Click();
    event->accept();
}

}  // namespace vellora::forms
