// Which helper prints an attachment: one list of extension patterns per document family.
// Entry 0 of each list is built in and never stored; the user's patterns follow it.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vellora::core {

// The six families in display order; PDF has one fixed extension instead of a list.
enum class Family { Word = 1, Sheet = 2, Slides = 3, Html = 4, Pdf = 5, Picture = 6 };
inline constexpr std::array<Family, 5> kStoredFamilies{Family::Word, Family::Sheet, Family::Slides,
                                                       Family::Html, Family::Picture};

struct AttachmentLists {
    bool office2007 = false;
    std::array<std::vector<std::string>, 5> stored;  // in kStoredFamilies order

    std::vector<std::string>& Of(Family f);
    const std::vector<std::string>& Of(Family f) const;
};

std::string BuiltInPattern(Family f, bool office2007);
std::string PdfExtension();
std::string FamilyDisplayText(Family f);
std::string FamilySection(Family f);

// Reads the Office-2007 flag and the five stored lists. A read that fails half way keeps
// the lists read so far and writes one log line.
AttachmentLists LoadAttachmentLists(const std::string& settingsPath);
void SaveAttachmentLists(const AttachmentLists& lists, const std::string& settingsPath);
// The Office-2007 option changed: entry 0 of the three office families follows at once.
void ApplyOffice2007(AttachmentLists& lists, bool on);

// The attachment types page without its controls: the working list, the chosen family and
// entry, and the commands. The form shows what this reports and asks the questions.
class AttachmentTypeEditor {
  public:
    AttachmentTypeEditor(AttachmentLists& lists, std::string settingsPath)
        : lists_(lists), path_(std::move(settingsPath)) {}

    void ChooseFamily(Family f);
    void ChooseEntry(int index);
    // New: the placeholder goes into the field; the selected index is past the last entry.
    std::string NewEntry();
    // Save of the field's text against its tag; false when nothing was stored.
    bool SaveEntry(const std::string& text, const std::string& tag);
    // Delete of the selected entry (after the user said Yes); false when not allowed.
    bool DeleteEntry();
    bool CanChange() const { return family_ != 0 && selected_ >= 1; }

    const std::vector<std::string>& WorkingList() const { return working_; }
    std::vector<std::string> ShowExtensionList() const;  // lstExt
    std::string Heading() const;                         // lblExt
    int SelectedFamily() const { return family_; }
    int SelectedIndex() const { return selected_; }

  private:
    void CopyBack();
    AttachmentLists& lists_;
    std::string path_;
    std::vector<std::string> working_;
    int family_ = 0;
    int selected_ = 0;
};

}  // namespace vellora::core
