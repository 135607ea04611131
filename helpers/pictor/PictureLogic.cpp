#include "helpers/pictor/PictureLogic.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "helpers/pictor/PictorTexts.h"

namespace pictor {
namespace {

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

double WholeTwips(double v) {
    return std::nearbyint(v);
}  // rounds halves to even

void FitWidth(Placement& p, double rHW) {
    p.width = p.pageWidth;
    p.height = p.pageWidth * rHW;
}

void FitHeight(Placement& p, double rWH) {
    p.width = p.pageHeight * rWH;
    p.height = p.pageHeight;
}

}  // namespace

Route RouteFor(const std::string& typeToken) {
    if (typeToken == texts::kConverterType.str()) return Route::kConverter;
    for (const auto& direct : {texts::kDirect1.str(), texts::kDirect2.str(), texts::kDirect3.str(),
                               texts::kDirect4.str(), texts::kDirect5.str()}) {
        if (typeToken == direct) return Route::kDirect;
    }
    return Route::kService;
}

std::string ConvertedPath(const std::string& path) {
    const std::string from = Lower(texts::kConverterType.str());
    const std::string to = texts::kDirect3.str();
    const std::string lower = Lower(path);
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        const auto at = lower.find(from, pos);
        if (at == std::string::npos) break;
        out += path.substr(pos, at - pos) + to;
        pos = at + from.size();
    }
    return out + path.substr(pos);
}

Placement LayOut(double w, double h, double paperWidth, double paperHeight) {
    Placement p;
    p.landscape = w > h;
    const double longSide = std::max(paperWidth, paperHeight);
    const double shortSide = std::min(paperWidth, paperHeight);
    p.pageWidth = p.landscape ? longSide : shortSide;
    p.pageHeight = p.landscape ? shortSide : longSide;
    const double PW = p.pageWidth, PH = p.pageHeight;
    const double rHW = h / w, rWH = w / h;
    if (PW < w && PH > h) {
        p.layoutCase = 1;
        FitWidth(p, rHW);
    } else if (PW > w && PH < h) {
        p.layoutCase = 2;
        FitHeight(p, rWH);
    } else if (PW < w && PH < h) {
        p.layoutCase = 3;
        const double dW = WholeTwips(std::fabs(PW - w)), dH = WholeTwips(std::fabs(PH - h));
        if (dH < dW) {
            FitWidth(p, rHW);
            if (WholeTwips(p.height) > PH) FitHeight(p, rWH);
        } else {
            FitHeight(p, rWH);
            if (WholeTwips(p.width) > PW) FitWidth(p, rHW);
        }
    } else {
        p.width = w;
        p.height = h;
    }
    return p;
}

}  // namespace pictor
