#include "helpers/pictor/PagePrinter.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include "helpers/frame/HelperFrame.h"
#include "shared/Literal.h"

namespace pictor {

void RenderPage(const QImage& image, const Placement& placement,
                const vellora::print::PageSize& paper, const std::string& pdfPath) {
    QPdfWriter writer(QString::fromStdString(pdfPath));
    // One device unit per twip: the placement paints straight onto the page.
    writer.setResolution(static_cast<int>(kTwipsPerInch));
    const QPageSize size(QSizeF(paper.width, paper.height), QPageSize::Point, QString(),
                         QPageSize::ExactMatch);
    writer.setPageLayout(
        QPageLayout(size, placement.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                    QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer))
        throw vellora::helper::HelperFailure(VL("the page could not be started"));
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(placement.x, placement.y, placement.width, placement.height), image);
    if (!painter.end()) throw vellora::helper::HelperFailure(VL("the page could not be written"));
}

}  // namespace pictor
