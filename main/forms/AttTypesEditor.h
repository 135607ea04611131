// The attachment types page's behaviour: choosing a family and a pattern, the grey locked
// field, New, Save and Delete. The lists and their storage are the logic's
// (main/core/AttachmentTypes.h).
#pragma once

#include <QObject>
#include <string>

#include "main/core/AttachmentTypes.h"
#include "main/core/Seams.h"
#include "main/forms/AttTypesTab.h"

namespace vellora::forms {

class AttTypesEditor : public QObject {
    Q_OBJECT
  public:
    AttTypesEditor(AttTypesTab& tab, core::AttachmentLists& lists, core::Dialogs& dialogs,
                   std::string settingsPath);

    void LoadAttachmentLists();  // reads the lists and fills lstAtt
    void ShowExtensionList();
    void lstAtt_Click();
    void lstExt_Click();
    void txtExt_Click();  // clicking into the field unlocks it
    void cmdNewExt_Click();
    void cmdSaveExt_Click();
    void cmdDelExt_Click();
    void lblRegExp_Click();
    void Office2007Changed(bool on);
    bool Dirty() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SetDirty(bool dirty);
    void AskSave();
    void Lock(const QString& text);  // text and tag, grey and locked

    AttTypesTab& t_;
    core::AttachmentLists& lists_;
    core::Dialogs& dialogs_;
    std::string path_;
    core::AttachmentTypeEditor editor_;
    bool filling_ = false;
};

}  // namespace vellora::forms
