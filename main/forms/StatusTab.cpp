#include "main/forms/StatusTab.h"

#include <QGridLayout>
#include <QVBoxLayout>

#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtText.h"

namespace vellora::forms {
namespace tx = core::texts;

namespace {
QPlainTextEdit* LogBox(const char* name, QWidget* parent) {
    auto* box = Named<QPlainTextEdit>(name, parent);
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setUndoRedoEnabled(false);
    return box;
}
}  // namespace

StatusTab::StatusTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("StatusTab"));
    SSTab3 = Named<QTabWidget>("SSTab3", this);
    txtMailStatus = LogBox("txtMailStatus", SSTab3);
    txtErrorStatus = LogBox("txtErrorStatus", SSTab3);
    txtSucStatus = LogBox("txtSucStatus", SSTab3);
    SSTab3->addTab(txtMailStatus, QString());
    SSTab3->addTab(txtErrorStatus, QString());
    SSTab3->addTab(txtSucStatus, QString());

    lblLastCheckCaption = Named<QLabel>("lblLastCheckCaption", this);
    lblLastCheck = Named<QLabel>("lblLastCheck", this);
    lblNextCheckCaption = Named<QLabel>("lblNextCheckCaption", this);
    lblNextCheck = Named<QLabel>("lblNextCheck", this);
    lblLastCheck->setMinimumWidth(160);
    lblNextCheck->setMinimumWidth(80);

    auto* checks = new QGridLayout;
    checks->addWidget(lblLastCheckCaption, 0, 0);
    checks->addWidget(lblLastCheck, 0, 1);
    checks->addWidget(lblNextCheckCaption, 0, 2);
    checks->addWidget(lblNextCheck, 0, 3);
    checks->setColumnStretch(4, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(checks);
    layout->addWidget(SSTab3, 1);
}

void StatusTab::SetTexts() {
    SSTab3->setTabText(0, Q(tx::kTabMailLog));
    SSTab3->setTabText(1, Q(tx::kTabErrorLog));
    SSTab3->setTabText(2, Q(tx::kTabSuccessLog));
    lblLastCheckCaption->setText(Q(tx::kLastCheckCaption));
    lblNextCheckCaption->setText(Q(tx::kNextCheckCaption));
    lblLastCheck->setText(Q(tx::kNeverChecked));
}

QPlainTextEdit* StatusTab::Box(core::StatusBox box) const {
    switch (box) {
        case core::StatusBox::Mail:
            return txtMailStatus;
        case core::StatusBox::Error:
            return txtErrorStatus;
        case core::StatusBox::Success:
            return txtSucStatus;
    }
    return txtMailStatus;
}

void StatusTab::ShowBox(core::StatusBox box, const std::string& text) {
    QString shown = Q(text);
    shown.remove(QLatin1Char('\r'));
    Box(box)->setPlainText(shown);
}

}  // namespace vellora::forms
