#include "main/forms/AccountsTab.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtText.h"
#include "shared/Literal.h"
#include "shared/modWriteLog.h"

namespace vellora::forms {
namespace tx = vellora::core::texts;
using core::MsgButtons;
using core::MsgResult;

namespace {
QString Truth(bool on) {
    return on ? QStringLiteral("True") : QStringLiteral("False");
}
QString Flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

void SetRadio(QButtonGroup* group, QRadioButton* a, bool onA, QRadioButton* b, bool onB) {
    // An exclusive group cannot turn its last button off; both off is a valid editor state.
    group->setExclusive(false);
    a->setChecked(onA);
    b->setChecked(onB);
    group->setExclusive(true);
}
}  // namespace

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
    txtPassword->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

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

    protocolGroup_ = new QButtonGroup(this);
    protocolGroup_->addButton(optIMAP);
    protocolGroup_->addButton(optPOP);
    printGroup_ = new QButtonGroup(this);
    printGroup_->addButton(optPAll);
    printGroup_->addButton(optPNew);
    ApplyTabOrder();
    ConnectControls();
    EnableEditor(false);
}

void AccountsTab::Bind(core::Dialogs& dialogs, std::function<mail::MailSession*()> session,
                       std::string settingsPath) {
    dialogs_ = &dialogs;
    session_ = std::move(session);
    path_ = std::move(settingsPath);
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

void AccountsTab::ConnectControls() {
    connect(lstAccounts, &QListWidget::currentRowChanged, this, [this] { lstAccounts_Click(); });
    for (QLineEdit* e : {txtServer, txtPort, txtUsername, txtPassword}) {
        connect(e, &QLineEdit::textChanged, this, [this, e](const QString& text) {
            if (!filling_ && text != Tag(e)) SetDirty(true);
        });
    }
    for (QCheckBox* c : {chkSSL, chkEncPW, chkNTLM}) {
        connect(c, &QCheckBox::clicked, this, [this, c] {
            if (Flag(c->isChecked()) != Tag(c)) SetDirty(true);
        });
    }
    for (QRadioButton* o : {optIMAP, optPOP, optPAll, optPNew}) {
        connect(o, &QRadioButton::clicked, this, [this, o] {
            if (Truth(o->isChecked()) != Tag(o)) SetDirty(true);
        });
    }
    // The password shows only while the button is held down.
    connect(picSeePW, &QToolButton::pressed, this,
            [this] { txtPassword->setEchoMode(QLineEdit::Normal); });
    connect(picSeePW, &QToolButton::released, this,
            [this] { txtPassword->setEchoMode(QLineEdit::Password); });
    connect(cmdNewAcct, &QPushButton::clicked, this, [this] { cmdNewAcct_Click(); });
    connect(cmdDupeAcct, &QPushButton::clicked, this, [this] { cmdDupeAcct_Click(); });
    connect(cmdSaveAcct, &QPushButton::clicked, this, [this] { cmdSaveAcct_Click(); });
    connect(cmdDelAcct, &QPushButton::clicked, this, [this] { cmdDelAcct_Click(); });
    connect(cmdTestAcct, &QPushButton::clicked, this, [this] { cmdTestAcct_Click(); });
}

void AccountsTab::LoadAccounts() {
    core::LoadedAccounts loaded = core::LoadAccounts(path_, itemLimit_);
    accounts_ = std::move(loaded.accounts);
    maxAcctID_ = loaded.maxAcctID;
    RefreshAccountList();
}

void AccountsTab::RefreshAccountList() {
    try {
        const QSignalBlocker block(lstAccounts);
        lstAccounts->clear();
        lstAcctID->clear();
        for (const core::AccountRecord& a : accounts_) {
            lstAccounts->addItem(Q(core::AccountLabel(a)));
            lstAcctID->addItem(QString::number(a.id));
        }
    } catch (const std::exception& e) {
        LogTrapped(tx::kLogRefreshAccounts, e.what());
    }
}

bool AccountsTab::Dirty() const {
    return cmdSaveAcct->font().bold();
}

void AccountsTab::SetDirty(bool dirty) {
    QFont f = cmdSaveAcct->font();
    f.setBold(dirty);
    cmdSaveAcct->setFont(f);
}

void AccountsTab::SelectRow(int row) {
    {
        const QSignalBlocker block(lstAccounts);
        lstAccounts->setCurrentRow(row);
    }
    lstAccounts_Click();  // selecting in code acts like a click
}

void AccountsTab::FillEditor(const core::AccountRecord& a) {
    filling_ = true;
    lblAcctID->setText(QString::number(a.id));
    const std::pair<QLineEdit*, QString> texts[] = {{txtServer, Q(a.server)},
                                                    {txtPort, QString::number(a.port)},
                                                    {txtUsername, Q(a.user)},
                                                    {txtPassword, Q(a.password)}};
    for (const auto& [edit, value] : texts) {
        edit->setText(value);
        SetTag(edit, value);
    }
    SetRadio(protocolGroup_, optIMAP, a.imap, optPOP, a.pop);
    SetRadio(printGroup_, optPAll, a.printAll, optPNew, a.printNew);
    for (QRadioButton* o : {optIMAP, optPOP, optPAll, optPNew}) SetTag(o, Truth(o->isChecked()));
    const std::pair<QCheckBox*, bool> checks[] = {
        {chkSSL, a.ssl}, {chkEncPW, a.encryptedLogin}, {chkNTLM, a.ntlm}};
    for (const auto& [box, on] : checks) {
        box->setChecked(on);
        SetTag(box, Flag(on));
    }
    filling_ = false;
    EnableEditor(true);
}

void AccountsTab::ClearEditor() {
    filling_ = true;
    for (QLineEdit* e : {txtServer, txtPort, txtUsername, txtPassword}) {
        e->clear();
        SetTag(e, QString());
    }
    SetRadio(protocolGroup_, optIMAP, false, optPOP, false);
    SetRadio(printGroup_, optPAll, false, optPNew, false);
    for (QCheckBox* c : {chkSSL, chkEncPW, chkNTLM}) {
        c->setChecked(false);
        SetTag(c, QString());
    }
    for (QRadioButton* o : {optIMAP, optPOP, optPAll, optPNew}) SetTag(o, QString());
    filling_ = false;
}

void AccountsTab::EnableEditor(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{
             lblAcctID, txtServer, txtPort, txtUsername, txtPassword, optIMAP, optPOP, chkSSL,
             chkEncPW, chkNTLM, optPAll, optPNew, picSeePW}) {
        w->setEnabled(on);
    }
}

void AccountsTab::EnterTab() {
    {
        const QSignalBlocker block(lstAccounts);
        lstAccounts->setCurrentRow(-1);
        lstAccounts->clearSelection();
    }
    ClearEditor();
    lblAcctID->clear();
    EnableEditor(false);
    ApplyTabOrder();
}

void AccountsTab::ApplyTabOrder() {
    QWidget* order[] = {lstAccounts, cmdNewAcct, cmdSaveAcct, cmdDupeAcct, cmdDelAcct,  cmdTestAcct,
                        optIMAP,     optPOP,     txtServer,   txtPort,     txtUsername, txtPassword,
                        chkSSL,      chkEncPW,   chkNTLM,     optPAll,     optPNew};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void AccountsTab::LogTrapped(const std::string& prefix, const char* what) {
    try {
        modWriteLog::WriteLog(prefix + what);
    } catch (...) {
        // The log is out of reach; the tab keeps the state reached so far.
    }
}

}  // namespace vellora::forms
