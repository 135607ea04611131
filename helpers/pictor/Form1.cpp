#include "helpers/pictor/Form1.h"

#include <QImageIOHandler>
#include <QImageReader>
#include <algorithm>

#include "helpers/frame/HelperFrame.h"
#include "helpers/pictor/PictureLogic.h"
#include "shared/Literal.h"

namespace pictor {
namespace {

void Prepare(QImageReader& reader) {
    reader.setAutoTransform(true);
    reader.setAllocationLimit(kAllocationLimitMb);
}

bool SwapsSides(const QImageReader& reader) {
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}

[[noreturn]] void Fail(const QImageReader& reader) {
    throw vellora::helper::HelperFailure(reader.errorString().toStdString());
}

}  // namespace

void PictureBox::LoadPicture(const std::string& path) {
    path_ = path;
    QImageReader reader(QString::fromStdString(path));
    Prepare(reader);
    if (!reader.canRead()) Fail(reader);
    QSize stored = reader.size();
    if (!stored.isValid()) {
        // The format does not tell its size up front: decode once to learn it.
        const QImage image = reader.read();
        if (image.isNull()) Fail(reader);
        size_ = image.size();
        return;
    }
    size_ = SwapsSides(reader) ? stored.transposed() : stored;
    if (size_.isEmpty()) throw vellora::helper::HelperFailure(VL("the picture is empty"));
}

double PictureBox::WidthTwips() const {
    return size_.width() * kTwipsPerPixel;
}
double PictureBox::HeightTwips() const {
    return size_.height() * kTwipsPerPixel;
}

QImage PictureBox::Decode(double printedWidthTwips, double printedHeightTwips) const {
    QImageReader reader(QString::fromStdString(path_));
    Prepare(reader);
    const QSize wanted(static_cast<int>(printedWidthTwips / kTwipsPerInch * kPrintDpi + 1),
                       static_cast<int>(printedHeightTwips / kTwipsPerInch * kPrintDpi + 1));
    const bool larger = size_.width() > wanted.width() && size_.height() > wanted.height();
    if (larger && reader.size().isValid() && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        QSize target = size_.scaled(wanted, Qt::KeepAspectRatio);
        if (SwapsSides(reader)) target.transpose();  // scaling happens before the rotation
        reader.setScaledSize(target);
    }
    QImage image = reader.read();
    if (image.isNull()) Fail(reader);
    return image;
}

}  // namespace pictor
