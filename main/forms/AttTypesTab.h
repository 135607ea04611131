// The attachment-types page of SSTab2: the document families and the file-name patterns
// that send an attachment to each helper.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace vellora::forms {

class AttTypesTab : public QWidget {
    Q_OBJECT
  public:
    explicit AttTypesTab(QWidget* parent = nullptr);
    void SetTexts();

    QListWidget* lstAtt;  // the families
    QListWidget* lstExt;  // the patterns of the selected family
    QLineEdit* txtExt;
    QPushButton* cmdNewExt;
    QPushButton* cmdDelExt;
    QPushButton* cmdSaveExt;
    QLabel* lblAttInfo;
    QLabel* lblExt;
    QLabel* lblRegExp;  // link to help on patterns
};

}  // namespace vellora::forms
