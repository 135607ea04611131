#include "main/forms/AboutTab.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "main/core/MainTexts.h"
#include "main/forms/Named.h"
#include "main/forms/QtServices.h"
#include "main/forms/QtText.h"
#include "platform/shell/Module1.h"
#include "shared/modWriteLog.h"

namespace vellora::forms {
namespace tx = core::texts;

AboutTab::AboutTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("AboutTab"));
    picIcon = Named<QLabel>("picIcon", this);
    lblTitle = Named<QLabel>("lblTitle", this);
    lblVersion = Named<QLabel>("lblVersion", this);
    lblAbout = Named<QLabel>("lblAbout", this);
    lblHomePage = Named<QLabel>("lblHomePage", this);
    lblAbout->setWordWrap(true);
    lblAbout->setFixedWidth(440);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    lblTitle->setFont(big);
    lblHomePage->setTextInteractionFlags(Qt::TextBrowserInteraction);
    lblHomePage->setOpenExternalLinks(false);
    connect(lblHomePage, &QLabel::linkActivated, this, [](const QString& url) {
        try {
            Module1::ShellRun(S(url), 1);
        } catch (const Module1::ShellError& e) {
            try {
                modWriteLog::WriteLog(VL("lblHomePage_Click [10] - ") + e.what());
            } catch (const modWriteLog::LogError&) {
            }
        }
    });

    auto* text = new QVBoxLayout;
    text->addWidget(lblTitle);
    text->addWidget(lblVersion);
    text->addSpacing(12);
    text->addWidget(lblAbout);
    text->addSpacing(12);
    text->addWidget(lblHomePage);
    text->addStretch();
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(picIcon, 0, Qt::AlignTop);
    row->addSpacing(24);
    row->addLayout(text);
    row->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addSpacing(24);
    layout->addLayout(row);
    layout->addStretch();
}

void AboutTab::SetTexts() {
    picIcon->setPixmap(ProgramIcon(tx::kIconName).pixmap(96, 96));
    lblTitle->setText(Q(tx::kAppTitle));
    lblVersion->setText(Q(tx::kAboutVersion));
    lblAbout->setText(Q(tx::kAboutText));
    const QString url = Q(tx::kHomePageUrl);
    lblHomePage->setText(Q(tx::kLinkMarkup).arg(url, Q(tx::kHomePageCaption)));
}

}  // namespace vellora::forms
