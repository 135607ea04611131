#include "tests/support/Pdf.h"

#include <cstdio>
#include <sstream>

#include "tests/support/TestSupport.h"

namespace vtest {
namespace {

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

std::string Number(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

double FieldAfter(const std::string& text, const std::string& label, std::size_t skip = 0) {
    const auto at = text.find(label);
    if (at == std::string::npos) return 0;
    std::istringstream in(text.substr(at + label.size() + skip));
    double v = 0;
    in >> v;
    return v;
}

}  // namespace

std::string MakePdf(const std::vector<std::string>& pageTexts, double width, double height) {
    std::vector<std::string> objects;  // object n is objects[n-1]
    const int n = static_cast<int>(pageTexts.size());
    // 1 catalog, 2 pages, 3 font, then per page: page object, content stream.
    std::string kids;
    for (int i = 0; i < n; ++i) kids += std::to_string(4 + 2 * i) + " 0 R ";
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(n) + " >>");
    objects.push_back("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    for (int i = 0; i < n; ++i) {
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Number(width) + " " +
                          Number(height) + "] /Resources << /Font << /F1 3 0 R >> >> /Contents " +
                          std::to_string(5 + 2 * i) + " 0 R >>");
        const std::string stream = "BT /F1 24 Tf 40 " + Number(height - 80) + " Td (" +
                                   Escape(pageTexts[static_cast<std::size_t>(i)]) + ") Tj ET";
        objects.push_back("<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream +
                          "\nendstream");
    }
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t off : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", off);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

PdfInfo ReadPdfInfo(const std::string& path) {
    std::string out;
    PdfInfo info;
    if (Run({"/usr/bin/pdfinfo", path}, &out) != 0) return info;
    info.pages = static_cast<int>(FieldAfter(out, "Pages:"));
    info.width = FieldAfter(out, "Page size:");
    const auto x = out.find(" x ", out.find("Page size:"));
    if (x != std::string::npos) info.height = FieldAfter(out.substr(x), " x ");
    info.encrypted = out.find("Encrypted:      yes") != std::string::npos;
    return info;
}

std::string PdfText(const std::string& path, int first, int last) {
    std::vector<std::string> argv = {"/usr/bin/pdftotext", "-layout"};
    if (first > 0) argv.insert(argv.end(), {"-f", std::to_string(first)});
    if (last > 0) argv.insert(argv.end(), {"-l", std::to_string(last)});
    argv.insert(argv.end(), {path, "-"});
    std::string out;
    Run(argv, &out);
    return out;
}

std::string PdfPageToPng(const std::string& path, int page, const std::string& outBase, int dpi) {
    const std::string p = std::to_string(page);
    Run({"/usr/bin/pdftoppm", "-png", "-singlefile", "-r", std::to_string(dpi), "-f", p, "-l", p,
         path, outBase});
    return outBase + ".png";
}

}  // namespace vtest
