// Tab 3: the installed printers, the system default and the program's printer.
#pragma once

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

namespace vellora::forms {

class PrintersTab : public QWidget {
    Q_OBJECT
  public:
    explicit PrintersTab(QWidget* parent = nullptr);
    void SetTexts();

    QListWidget* lstPrinters;
    QPushButton* cmdSetPrinter;
    QLabel* lblCurSysPrinter;
    QLabel* lblCurApplicationPrinter;

  private:
    QLabel* captionList_;
    QLabel* captionSys_;
    QLabel* captionApp_;
};

}  // namespace vellora::forms
