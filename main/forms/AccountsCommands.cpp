// The accounts tab's commands: selection with the unsaved-change question, New, Duplicate,
// Save with its checks, Delete and the account test.
#include <QApplication>
#include <QListWidget>
#include <algorithm>
#include <exception>

#include "main/core/AccountTest.h"
#include "main/core/Accounts.h"
#include "main/core/MainTexts.h"
#include "main/forms/AccountsTab.h"
#include "main/forms/QtText.h"

namespace vellora::forms {
namespace tx = vellora::core::texts;
using core::MsgButtons;
using core::MsgResult;

bool AccountsTab::AskSaveChanged() {
    const std::string text = tx::kAcctChangedLead.str() + S(txtServer->text()) + " - " +
                             S(txtUsername->text()) + tx::kAcctChangedAsk.str();
    if (dialogs_->MessageBox(text, MsgButtons::YesNo, tx::kSaveAcctTitle) == MsgResult::Yes) {
        cmdSaveAcct_Click();
        // A refused value leaves the edits unsaved: the caller must not drop them.
        return !Dirty();
    }
    SetDirty(false);
    RefreshAccountList();
    rememberedIndex = -1;  // the placeholder line of an unsaved new account is gone
    return true;
}

void AccountsTab::AskAboutUnsavedChange() {
    if (Dirty()) AskSaveChanged();
}

int AccountsTab::FindById(int id) const {
    for (std::size_t i = 0; i < accounts_.size(); ++i) {
        if (accounts_[i].id == id) return static_cast<int>(i);
    }
    return -1;
}

void AccountsTab::lstAccounts_Click() {
    try {
        int index = lstAccounts->currentRow();
        if (index < 0 || index == rememberedIndex) return;
        if (Dirty()) {
            const int clicked = index;
            if (!AskSaveChanged()) {
                // The list goes back to the line the kept edits belong to.
                const QSignalBlocker block(lstAccounts);
                lstAccounts->setCurrentRow(shownRow_);
                return;
            }
            if (lstAccounts->currentRow() < 0) {  // the edits were dropped with the list
                const QSignalBlocker block(lstAccounts);
                lstAccounts->setCurrentRow(std::min(clicked, lstAccounts->count() - 1));
            }
            index = lstAccounts->currentRow();
            if (index < 0) return;
        }
        const QListWidgetItem* idItem = lstAcctID->item(index);
        if (idItem == nullptr) return;
        const int found = FindById(idItem->text().toInt());
        if (found < 0) return;
        FillEditor(accounts_[static_cast<std::size_t>(found)]);
        shownRow_ = index;
    } catch (const std::exception& e) {
        LogTrapped(tx::kLogSelectAccount, e.what());
    }
}

void AccountsTab::ShowLimit(const std::string& text, const std::string& title) {
    const std::string token = tx::kLimitPlaceholder;
    std::string out = text;
    const std::string limit = std::to_string(itemLimit_);
    for (std::size_t at = out.find(token); at != std::string::npos;
         at = out.find(token, at + limit.size())) {
        out.replace(at, token.size(), limit);
    }
    dialogs_->MessageBox(out, MsgButtons::Ok, title);
}

void AccountsTab::cmdNewAcct_Click() {
    if (Dirty() && !AskSaveChanged()) return;
    if (lstAccounts->count() >= itemLimit_) {
        return ShowLimit(tx::kAcctLimitNew, tx::kNewAcctTitle);
    }
    lblAcctID->setText(QString::number(maxAcctID_ + 1));
    lstAccounts->addItem(Q(tx::kAcctNewLine));
    rememberedIndex = lstAccounts->count() - 1;
    shownRow_ = rememberedIndex;
    SelectRow(rememberedIndex);
    ClearEditor();
    optPNew->setChecked(true);
    EnableEditor(true);
    SetDirty(true);
}

void AccountsTab::cmdDupeAcct_Click() {
    int row = lstAccounts->currentRow();
    if (row < 0) return;
    if (Dirty()) {
        if (!AskSaveChanged()) return;
        // The copy is of the account as saved: put it back into the editor.
        row = std::min(row, lstAccounts->count() - 1);
        if (row < 0) return;
        SelectRow(row);
    }
    if (lstAccounts->count() >= itemLimit_) {
        return ShowLimit(tx::kAcctLimitNew, tx::kNewAcctTitle);
    }
    const QString text = lstAccounts->item(row)->text() + Q(tx::kAcctDupeSuffix);
    lblAcctID->setText(QString::number(maxAcctID_ + 1));
    lstAccounts->addItem(text);
    rememberedIndex = lstAccounts->count() - 1;
    shownRow_ = rememberedIndex;
    SelectRow(rememberedIndex);
    SetDirty(true);
}

bool AccountsTab::Validate() {
    const auto refuse = [this](const std::string& text) {
        dialogs_->MessageBox(text, MsgButtons::Ok, tx::kSaveAcctTitle);
        return false;
    };
    const QString port = txtPort->text();
    if (txtServer->text().size() < 2) return refuse(tx::kAcctServerMissing);
    if (port.isEmpty()) return refuse(tx::kAcctPortMissing);
    for (const QChar c : port) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return refuse(tx::kAcctPortNotNumeric);
    }
    // Digits only, but no port: refused before it could overflow the stored number.
    if (port.size() > 5 || port.toInt() > 65535) return refuse(tx::kAcctPortRange);
    if (txtUsername->text().size() < 2) return refuse(tx::kAcctUserMissing);
    if (txtPassword->text().size() < 2) return refuse(tx::kAcctPasswordMissing);
    return true;
}

core::AccountRecord AccountsTab::EditedRecord(std::int16_t id) const {
    core::AccountRecord a;
    a.id = id;
    a.server = S(txtServer->text());
    a.port = txtPort->text().toInt();  // digits only and at most 65535, checked before
    a.user = S(txtUsername->text());
    a.password = S(txtPassword->text());
    a.imap = optIMAP->isChecked();
    a.pop = optPOP->isChecked();
    a.ssl = chkSSL->isChecked();
    a.encryptedLogin = chkEncPW->isChecked();
    a.ntlm = chkNTLM->isChecked();
    a.printAll = optPAll->isChecked();
    a.printNew = optPNew->isChecked();
    return a;
}

void AccountsTab::cmdSaveAcct_Click() {
    try {
        const int id = lblAcctID->text().toInt();
        const bool isNew = id > maxAcctID_;
        const int found = isNew ? -1 : FindById(id);
        if (!isNew && found < 0) return;
        const std::size_t target =
            isNew ? accounts_.size() + 1 : static_cast<std::size_t>(found) + 1;
        if (!Validate()) return;
        core::AccountRecord record = EditedRecord(static_cast<std::int16_t>(id));
        record.lastId =
            core::LastIdForSave(path_, target, isNew ? nullptr : &accounts_[target - 1], record);
        if (target > static_cast<std::size_t>(std::max<int>(itemLimit_, 0))) {
            ShowLimit(tx::kAcctLimitSave, tx::kSaveAcctsTitle);
        } else {
            if (isNew) {
                accounts_.push_back(record);
            } else {
                accounts_[target - 1] = record;
            }
            maxAcctID_ = std::max<std::int16_t>(maxAcctID_, static_cast<std::int16_t>(id));
        }
        const int selected = lstAccounts->currentRow();
        core::SaveAccounts(path_, accounts_);
        RefreshAccountList();
        SetDirty(false);
        rememberedIndex = -1;
        SelectRow(std::min(selected, lstAccounts->count() - 1));
    } catch (const std::exception& e) {
        LogTrapped(tx::kLogSaveAcct, e.what());
    }
}

void AccountsTab::cmdDelAcct_Click() {
    try {
        const int id = lblAcctID->text().toInt();
        if (id > maxAcctID_) return;
        const int found = FindById(id);
        if (found < 0) return;
        const std::string question =
            tx::kAcctDeleteAsk.str() + accounts_[static_cast<std::size_t>(found)].user + "?";
        if (dialogs_->MessageBox(question, MsgButtons::YesNo, tx::kDelAcctTitle) !=
            MsgResult::Yes) {
            return;
        }
        const std::size_t oldCount = accounts_.size();
        accounts_.erase(accounts_.begin() + found);
        core::RemoveAccountSection(path_, oldCount);
        RefreshAccountList();
        core::SaveAccounts(path_, accounts_);
        // Cleared first: the edits belonged to the account that is gone.
        SetDirty(false);
        rememberedIndex = -1;
        if (lstAccounts->count() == 0) {
            ClearEditor();
            lblAcctID->clear();
            EnableEditor(false);
            return;
        }
        SelectRow(lstAccounts->count() - 1);
    } catch (const std::exception& e) {
        LogTrapped(tx::kLogDelAcct, e.what());
    }
}

void AccountsTab::cmdTestAcct_Click() {
    core::TypedAccount typed;
    typed.imap = optIMAP->isChecked();
    typed.pop = optPOP->isChecked();
    typed.server = S(txtServer->text());
    typed.port = S(txtPort->text());
    typed.user = S(txtUsername->text());
    typed.password = S(txtPassword->text());
    typed.ssl = chkSSL->isChecked();
    typed.encryptedLogin = chkEncPW->isChecked();
    typed.ntlm = chkNTLM->isChecked();
    // Busy while the server is asked; back to normal however the test ends.
    struct BusyCursor {
        BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~BusyCursor() { QApplication::restoreOverrideCursor(); }
        BusyCursor(const BusyCursor&) = delete;
        BusyCursor& operator=(const BusyCursor&) = delete;
    } busy;
    mail::MailSession* session = session_ ? session_() : nullptr;
    if (session == nullptr) return;
    core::TestAccount(*session, *dialogs_, typed);
}

}  // namespace vellora::forms
