// Test documents made at test time (nothing is shipped or fetched) and ways to read back what
// was printed, shared by the office and HTML suites.
#pragma once

#include <dirent.h>
#include <signal.h>

#include <cerrno>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace vtest::office {

inline const char* kSoffice = "/usr/lib/libreoffice/program/soffice.bin";

// Converts a flat ODF source into `format` beside it with a throw-away profile.
inline void ConvertWithOffice(const std::string& source, const std::string& format,
                              const std::string& profile) {
    const std::string folder = source.substr(0, source.find_last_of('/'));
    for (int attempt = 0; attempt < 3; ++attempt) {  // a new profile restarts once
        const int rc =
            Run({kSoffice, "-env:UserInstallation=file://" + profile, "--headless", "--norestore",
                 "--nologo", "--convert-to", format, "--outdir", folder, source});
        if (rc != 81) break;
    }
}

// Writes word.docx, word.odt, sheets.xlsx (2 sheets), slides.pptx (3 slides), locked.odt,
// empty.docx, plain.docx and cut.docx into `folder`.
inline void MakeOfficeDocuments(const std::string& folder) {
    Run({"/usr/bin/python3", SourceDir() + "/tests/office/make_documents.py", folder});
    const std::string profile = folder + "/.profile";
    ConvertWithOffice(folder + "/word.fodt", "docx", profile);
    ConvertWithOffice(folder + "/word.fodt", "odt", profile);
    ConvertWithOffice(folder + "/sheets.fods", "xlsx", profile);
    ConvertWithOffice(folder + "/slides.fodp", "pptx", profile);
    // A real package cut short: its central directory is gone.
    const std::string whole = ReadFile(folder + "/word.docx");
    WriteFile(folder + "/cut.docx", whole.substr(0, whole.size() / 2));
}

inline std::string PdfText(const std::string& pdf) {
    std::string out;
    Run({"/usr/bin/pdftotext", "-layout", pdf, "-"}, &out);
    return out;
}

inline int PdfPages(const std::string& pdf) {
    std::string out;
    if (Run({"/usr/bin/pdfinfo", pdf}, &out) != 0) return -1;
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(out.substr(at + 6));
}

// Ids of running processes whose command line or environment mentions `tag` (a test's
// private folder): only processes this test started, and their children, can carry it.
inline std::vector<int> ProcessesMentioning(const std::string& tag) {
    std::vector<int> found;
    DIR* proc = opendir("/proc");
    if (proc == nullptr) return found;
    while (dirent* e = readdir(proc)) {
        const int pid = std::atoi(e->d_name);
        if (pid <= 0) continue;
        std::ifstream cmd("/proc/" + std::string(e->d_name) + "/cmdline");
        std::string line((std::istreambuf_iterator<char>(cmd)), {});
        std::ifstream env("/proc/" + std::string(e->d_name) + "/environ");
        line.append(std::istreambuf_iterator<char>(env), {});
        std::ifstream st("/proc/" + std::string(e->d_name) + "/stat");
        std::string stat((std::istreambuf_iterator<char>(st)), {});
        const auto close = stat.rfind(')');
        const bool zombie =
            close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
        if (!zombie && line.find(tag) != std::string::npos) found.push_back(pid);
    }
    closedir(proc);
    return found;
}

// True when no live process has this id (an unreaped zombie counts as gone).
inline bool ProcessGone(int pid) {
    if (pid <= 0) return false;
    if (kill(pid, 0) != 0) return errno == ESRCH;
    std::ifstream st("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(st)), {});
    const auto close = stat.rfind(')');
    return close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
}

}  // namespace vtest::office
