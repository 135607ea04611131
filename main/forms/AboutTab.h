// Tab 5: what the program is, its version and the project page.
#pragma once

#include <QLabel>
#include <QWidget>

namespace vellora::forms {

class AboutTab : public QWidget {
    Q_OBJECT
  public:
    explicit AboutTab(QWidget* parent = nullptr);
    void SetTexts();

    QLabel* picIcon;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblAbout;
    QLabel* lblHomePage;  // a click opens the project page through the shell
};

}  // namespace vellora::forms
