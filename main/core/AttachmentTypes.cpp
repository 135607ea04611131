#include "main/core/AttachmentTypes.h"

#include <stdexcept>

#include "main/core/MainTexts.h"
#include "shared/Texts.h"
#include "shared/basINI_IO.h"
#include "shared/modWriteLog.h"

namespace vellora::core {
namespace t = vellora::texts;
namespace mt = vellora::core::texts;

namespace {

std::size_t Slot(Family f) {
    for (std::size_t i = 0; i < kStoredFamilies.size(); ++i)
        if (kStoredFamilies[i] == f) return i;
    throw std::invalid_argument("the PDF family keeps no list");
}

std::string EntryKey(std::size_t i) {
    return t::kKeyTypeEntry.str() + std::to_string(i);
}

}  // namespace

std::vector<std::string>& AttachmentLists::Of(Family f) {
    return stored[Slot(f)];
}
const std::vector<std::string>& AttachmentLists::Of(Family f) const {
    return stored[Slot(f)];
}

std::string BuiltInPattern(Family f, bool office2007) {
    switch (f) {
        case Family::Word:
            return office2007 ? mt::kWordBuiltIn2007.str() : mt::kWordBuiltIn.str();
        case Family::Sheet:
            return office2007 ? mt::kSheetBuiltIn2007.str() : mt::kSheetBuiltIn.str();
        case Family::Slides:
            return office2007 ? mt::kSlidesBuiltIn2007.str() : mt::kSlidesBuiltIn.str();
        case Family::Html:
            return mt::kHtmlBuiltIn;
        case Family::Picture:
            return mt::kPictureBuiltIn;
        case Family::Pdf:
            return mt::kPdfExtension;
    }
    return {};
}

std::string PdfExtension() {
    return mt::kPdfExtension;
}

std::string FamilyDisplayText(Family f) {
    switch (f) {
        case Family::Word:
            return mt::kFamilyWord;
        case Family::Sheet:
            return mt::kFamilySheet;
        case Family::Slides:
            return mt::kFamilySlides;
        case Family::Html:
            return mt::kFamilyHtml;
        case Family::Pdf:
            return mt::kFamilyPdf;
        case Family::Picture:
            return mt::kFamilyPicture;
    }
    return {};
}

std::string FamilySection(Family f) {
    switch (f) {
        case Family::Word:
            return t::kWordTypesSection;
        case Family::Sheet:
            return t::kSheetTypesSection;
        case Family::Slides:
            return t::kSlideTypesSection;
        case Family::Html:
            return t::kHtmlTypesSection;
        case Family::Picture:
            return t::kPictureTypesSection;
        case Family::Pdf:
            break;
    }
    return {};
}

AttachmentLists LoadAttachmentLists(const std::string& path) {
    AttachmentLists lists;
    try {
        lists.office2007 =
            basINI_IO::ReadSettingNumber(path, t::kGeneralSection, t::kKeyOffice2007) == 1;
        const std::string missing = basINI_IO::MissingValue();
        for (Family f : kStoredFamilies) {
            const std::string section = FamilySection(f);
            int count = basINI_IO::ReadSettingNumber(path, section, t::kKeyTypeCount);
            if (count < 0) count = 0;
            std::vector<std::string>& list = lists.Of(f);
            list.assign(static_cast<std::size_t>(count) + 1, std::string());
            for (std::size_t i = 0; i < list.size(); ++i) {
                std::string v = basINI_IO::ReadSettingText(path, section, EntryKey(i));
                if (v == missing) v = i == 0 ? BuiltInPattern(f, lists.office2007) : "";
                list[i] = v;
            }
        }
    } catch (const std::exception& e) {
        try {
            modWriteLog::WriteLog(mt::kLogLoadAttLists.str() + e.what());
        } catch (const modWriteLog::LogError&) {
        }
    }
    return lists;
}

void SaveAttachmentLists(const AttachmentLists& lists, const std::string& path) {
    for (Family f : kStoredFamilies) {
        const std::string section = FamilySection(f);
        const std::vector<std::string>& list = lists.Of(f);
        const int last = list.empty() ? 0 : static_cast<int>(list.size()) - 1;
        basINI_IO::WriteSettingNumber(last, path, section, t::kKeyTypeCount);
        for (std::size_t i = 1; i < list.size(); ++i)
            basINI_IO::WriteSettingText(list[i], path, section, EntryKey(i));
    }
}

void ApplyOffice2007(AttachmentLists& lists, bool on) {
    lists.office2007 = on;
    for (Family f : {Family::Word, Family::Sheet, Family::Slides}) {
        std::vector<std::string>& list = lists.Of(f);
        if (list.empty()) list.emplace_back();
        list[0] = BuiltInPattern(f, on);
    }
}

void AttachmentTypeEditor::ChooseFamily(Family f) {
    working_ = f == Family::Pdf ? std::vector<std::string>{PdfExtension()} : lists_.Of(f);
    family_ = static_cast<int>(f);
    selected_ = 0;
}

void AttachmentTypeEditor::ChooseEntry(int index) {
    if (index >= 0 && index < static_cast<int>(working_.size())) selected_ = index;
}

std::string AttachmentTypeEditor::NewEntry() {
    if (family_ == 0) return {};
    selected_ = static_cast<int>(working_.size());
    return mt::kNewExtPlaceholder;
}

bool AttachmentTypeEditor::SaveEntry(const std::string& text, const std::string& tag) {
    if (!CanChange() || text == tag) return false;
    const auto index = static_cast<std::size_t>(selected_);
    if (index >= working_.size())
        working_.push_back(text);
    else
        working_[index] = text;
    CopyBack();
    return true;
}

bool AttachmentTypeEditor::DeleteEntry() {
    if (!CanChange() || selected_ >= static_cast<int>(working_.size())) return false;
    working_.erase(working_.begin() + selected_);
    CopyBack();
    return true;
}

void AttachmentTypeEditor::CopyBack() {
    if (family_ == static_cast<int>(Family::Pdf)) return;
    lists_.Of(static_cast<Family>(family_)) = working_;
    SaveAttachmentLists(lists_, path_);
}

std::vector<std::string> AttachmentTypeEditor::ShowExtensionList() const {
    if (family_ == static_cast<int>(Family::Pdf)) return {PdfExtension()};
    return working_;
}

std::string AttachmentTypeEditor::Heading() const {
    if (family_ == 0) return {};
    std::string text = FamilyDisplayText(static_cast<Family>(family_));
    if (!text.empty()) text.pop_back();
    return text + "\n" + mt::kExtHeadingTail.str();
}

}  // namespace vellora::core
