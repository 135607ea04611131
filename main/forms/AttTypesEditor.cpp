#include "main/forms/AttTypesEditor.h"

#include <QEvent>
#include <QSignalBlocker>

#include "main/core/MainTexts.h"
#include "main/forms/QtText.h"
#include "platform/shell/Module1.h"
#include "shared/modWriteLog.h"

namespace vellora::forms {
namespace mt = vellora::core::texts;
using core::Family;
using core::MsgButtons;
using core::MsgResult;

AttTypesEditor::AttTypesEditor(AttTypesTab& tab, core::AttachmentLists& lists,
                               core::Dialogs& dialogs, std::string settingsPath)
    : QObject(&tab),
      t_(tab),
      lists_(lists),
      dialogs_(dialogs),
      path_(std::move(settingsPath)),
      editor_(lists, path_) {
    connect(t_.lstAtt, &QListWidget::itemClicked, this, [this] { lstAtt_Click(); });
    connect(t_.lstExt, &QListWidget::itemClicked, this, [this] { lstExt_Click(); });
    connect(t_.cmdNewExt, &QPushButton::clicked, this, [this] { cmdNewExt_Click(); });
    connect(t_.cmdSaveExt, &QPushButton::clicked, this, [this] { cmdSaveExt_Click(); });
    connect(t_.cmdDelExt, &QPushButton::clicked, this, [this] { cmdDelExt_Click(); });
    connect(t_.txtExt, &QLineEdit::textChanged, this, [this](const QString& s) {
        if (!filling_ && s != t_.txtExt->property(kTag).toString()) SetDirty(true);
    });
    t_.txtExt->installEventFilter(this);
    t_.lblRegExp->installEventFilter(this);
    t_.lblRegExp->setCursor(Qt::PointingHandCursor);
    Lock(QString());
}

bool AttTypesEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == t_.txtExt) txtExt_Click();
        if (watched == t_.lblRegExp) lblRegExp_Click();
    }
    return QObject::eventFilter(watched, event);
}

void AttTypesEditor::LoadAttachmentLists() {
    lists_ = core::LoadAttachmentLists(path_);
    const QSignalBlocker block(t_.lstAtt);
    t_.lstAtt->clear();
    for (int f = 1; f <= 6; ++f)
        t_.lstAtt->addItem(Q(core::FamilyDisplayText(static_cast<Family>(f))));
}

void AttTypesEditor::ShowExtensionList() {
    const QSignalBlocker block(t_.lstExt);
    t_.lstExt->clear();
    for (const std::string& e : editor_.ShowExtensionList()) t_.lstExt->addItem(Q(e));
}

void AttTypesEditor::Lock(const QString& text) {
    filling_ = true;
    t_.txtExt->setText(text);
    t_.txtExt->setProperty(kTag, text);
    t_.txtExt->setReadOnly(true);
    QPalette p = t_.txtExt->palette();
    p.setColor(QPalette::Text, t_.palette().color(QPalette::Disabled, QPalette::Text));
    t_.txtExt->setPalette(p);
    filling_ = false;
}

void AttTypesEditor::txtExt_Click() {
    if (t_.txtExt->text().isEmpty()) return;
    t_.txtExt->setReadOnly(false);
    t_.txtExt->setPalette(t_.palette());
}

bool AttTypesEditor::Dirty() const {
    return t_.cmdSaveExt->font().bold();
}

void AttTypesEditor::SetDirty(bool dirty) {
    QFont f = t_.cmdSaveExt->font();
    f.setBold(dirty);
    t_.cmdSaveExt->setFont(f);
}

void AttTypesEditor::AskSave() {
    if (!Dirty()) return;
    if (dialogs_.MessageBox(mt::kMsgSaveExt, MsgButtons::YesNo, mt::kTitleSaveExt) ==
        MsgResult::Yes)
        cmdSaveExt_Click();
    else
        SetDirty(false);
}

void AttTypesEditor::lstAtt_Click() {
    const int row = t_.lstAtt->currentRow();
    if (row < 0) return;
    editor_.ChooseFamily(static_cast<Family>(row + 1));
    ShowExtensionList();
    t_.lblExt->setText(Q(editor_.Heading()));
    Lock(QString());
}

void AttTypesEditor::lstExt_Click() {
    const int row = t_.lstExt->currentRow();
    if (row < 0) return;
    AskSave();
    const auto& list = editor_.WorkingList();
    Lock(row < static_cast<int>(list.size()) ? Q(list[static_cast<std::size_t>(row)]) : QString());
    editor_.ChooseEntry(row);
}

void AttTypesEditor::cmdNewExt_Click() {
    if (editor_.SelectedFamily() == 0) return;
    AskSave();
    Lock(Q(editor_.NewEntry()));
}

void AttTypesEditor::cmdSaveExt_Click() {
    const QString text = t_.txtExt->text();
    if (!editor_.SaveEntry(S(text), S(t_.txtExt->property(kTag).toString()))) return;
    SetDirty(false);
    t_.txtExt->setProperty(kTag, text);  // a second Save of the same text stores nothing
    ShowExtensionList();
}

void AttTypesEditor::cmdDelExt_Click() {
    if (!editor_.CanChange()) return;
    if (dialogs_.MessageBox(mt::kMsgDeleteExt, MsgButtons::YesNo, mt::kTitleDeleteExt) ==
        MsgResult::Yes) {
        editor_.DeleteEntry();
        ShowExtensionList();
    }
    Lock(QString());
    SetDirty(false);
}

void AttTypesEditor::lblRegExp_Click() {
    try {
        Module1::ShellRun(mt::kRegexHelpUrl, 1);
    } catch (const std::exception& e) {
        try {
            modWriteLog::WriteLog(std::string("lblRegExp_Click: ") + e.what());
        } catch (const modWriteLog::LogError&) {
        }
    }
}

void AttTypesEditor::Office2007Changed(bool on) {
    core::ApplyOffice2007(lists_, on);
    if (editor_.SelectedFamily() >= 1 && editor_.SelectedFamily() <= 3) {
        editor_.ChooseFamily(static_cast<Family>(editor_.SelectedFamily()));
        ShowExtensionList();
    }
}

}  // namespace vellora::forms
