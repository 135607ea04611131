#include "main/forms/AccountsTab.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/Literal.h"

namespace vellora::forms {

AccountsTab::AccountsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AccountsTab"));
    lstAccounts = Named<QListWidget>("lstAccounts", this);
    lstAcctID = Named<QListWidget>("lstAcctID", this);
    lstAcctID->setVisible(false);
    cmdNewAcct = Named<QPushButton>("cmdNewAcct", this);
    cmdDupeAcct = Named<QPushButton>("cmdDupeAcct", this);
    cmdDelAcct = Named<QPushButton>("cmdDelAcct", this);

    editor_ = new QGroupBox(this);
    lblAcctID = Named<QLabel>("lblAcctID", editor_);
    txtServer = Named<QLineEdit>("txtServer", editor_);
    txtPort = Named<QLineEdit>("txtPort", editor_);
    txtPort->setMaximumWidth(90);
    txtUsername = Named<QLineEdit>("txtUsername", editor_);
    txtPassword = Named<QLineEdit>("txtPassword", editor_);
    txtPassword->setEchoMode(QLineEdit::Password);
    picSeePW = Named<QToolButton>("picSeePW", editor_);
    picSeePW->setText(QStringLiteral("\u25C9"));
    // The password shows only while the button is held down.
    connect(picSeePW, &QToolButton::pressed, this,
            [this] { txtPassword->setEchoMode(QLineEdit::Normal); });
    connect(picSeePW, &QToolButton::released, this,
            [this] { txtPassword->setEchoMode(QLineEdit::Password); });

    protocol_ = new QGroupBox(editor_);
    optIMAP = Named<QRadioButton>("optIMAP", protocol_);
    optPOP = Named<QRadioButton>("optPOP", protocol_);
    auto* protocolLayout = new QHBoxLayout(protocol_);
    protocolLayout->addWidget(optIMAP);
    protocolLayout->addWidget(optPOP);
    protocolLayout->addStretch();

    security_ = new QGroupBox(editor_);
    chkSSL = Named<QCheckBox>("chkSSL", security_);
    chkEncPW = Named<QCheckBox>("chkEncPW", security_);
    chkNTLM = Named<QCheckBox>("chkNTLM", security_);
    auto* securityLayout = new QHBoxLayout(security_);
    securityLayout->addWidget(chkSSL);
    securityLayout->addWidget(chkEncPW);
    securityLayout->addWidget(chkNTLM);
    securityLayout->addStretch();

    printWhat_ = new QGroupBox(editor_);
    optPAll = Named<QRadioButton>("optPAll", printWhat_);
    optPNew = Named<QRadioButton>("optPNew", printWhat_);
    auto* printLayout = new QHBoxLayout(printWhat_);
    printLayout->addWidget(optPAll);
    printLayout->addWidget(optPNew);
    printLayout->addStretch();

    cmdSaveAcct = Named<QPushButton>("cmdSaveAcct", editor_);
    cmdTestAcct = Named<QPushButton>("cmdTestAcct", editor_);

    captionId_ = new QLabel(editor_);
    captionServer_ = new QLabel(editor_);
    captionPort_ = new QLabel(editor_);
    captionUser_ = new QLabel(editor_);
    captionPassword_ = new QLabel(editor_);
    auto* passwordRow = new QHBoxLayout;
    passwordRow->addWidget(txtPassword, 1);
    passwordRow->addWidget(picSeePW);
    auto* form = new QFormLayout;
    form->addRow(captionId_, lblAcctID);
    form->addRow(captionServer_, txtServer);
    form->addRow(captionPort_, txtPort);
    form->addRow(captionUser_, txtUsername);
    form->addRow(captionPassword_, passwordRow);
    auto* editButtons = new QHBoxLayout;
    editButtons->addStretch();
    editButtons->addWidget(cmdTestAcct);
    editButtons->addWidget(cmdSaveAcct);
    auto* editorLayout = new QVBoxLayout(editor_);
    editorLayout->addLayout(form);
    editorLayout->addWidget(protocol_);
    editorLayout->addWidget(security_);
    editorLayout->addWidget(printWhat_);
    editorLayout->addStretch();
    editorLayout->addLayout(editButtons);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdNewAcct);
    listButtons->addWidget(cmdDupeAcct);
    listButtons->addWidget(cmdDelAcct);
    auto* left = new QVBoxLayout;
    left->addWidget(lstAccounts, 1);
    left->addLayout(listButtons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addWidget(editor_, 3);

    setTabOrder(lstAccounts, cmdNewAcct);
    setTabOrder(cmdNewAcct, cmdDupeAcct);
    setTabOrder(cmdDupeAcct, cmdDelAcct);
    setTabOrder(cmdDelAcct, txtServer);
    setTabOrder(txtServer, txtPort);
    setTabOrder(txtPort, txtUsername);
    setTabOrder(txtUsername, txtPassword);
    setTabOrder(txtPassword, optIMAP);
    setTabOrder(optIMAP, optPOP);
    setTabOrder(optPOP, chkSSL);
    setTabOrder(chkSSL, chkEncPW);
    setTabOrder(chkEncPW, chkNTLM);
    setTabOrder(chkNTLM, optPAll);
    setTabOrder(optPAll, optPNew);
    setTabOrder(optPNew, cmdTestAcct);
    setTabOrder(cmdTestAcct, cmdSaveAcct);
}

void AccountsTab::SetTexts() {
    editor_->setTitle(Q(VL("Account")));
    captionId_->setText(Q(VL("Number:")));
    captionServer_->setText(Q(VL("Server:")));
    captionPort_->setText(Q(VL("Port:")));
    captionUser_->setText(Q(VL("User name:")));
    captionPassword_->setText(Q(VL("Password:")));
    picSeePW->setToolTip(Q(VL("Hold down to see the password")));
    protocol_->setTitle(Q(VL("Protocol")));
    optIMAP->setText(Q(VL("IMAP")));
    optPOP->setText(Q(VL("POP3")));
    security_->setTitle(Q(VL("Security")));
    chkSSL->setText(Q(VL("Secure connection (TLS)")));
    chkEncPW->setText(Q(VL("Encrypted login")));
    chkNTLM->setText(Q(VL("NTLM")));
    printWhat_->setTitle(Q(VL("Print")));
    optPAll->setText(Q(VL("All messages")));
    optPNew->setText(Q(VL("New messages only")));
    cmdNewAcct->setText(Q(VL("&New")));
    cmdDupeAcct->setText(Q(VL("D&uplicate")));
    cmdDelAcct->setText(Q(VL("&Delete")));
    cmdSaveAcct->setText(Q(VL("&Save")));
    cmdTestAcct->setText(Q(VL("&Test")));
}

}  // namespace vellora::forms
