// The conversion client's texts. Each error text follows the helper's own error text (which
// begins with the failed status), so every record it writes classifies as failed.
#pragma once

#include "shared/Literal.h"

namespace vellora::helper::conversion_texts {
using lit::Encode;

inline constexpr auto kUploadError = Encode("the upload to the conversion service failed: ");
inline constexpr auto kRequestError = Encode("the conversion service refused the document: ");
inline constexpr auto kNoResultsError = Encode("the conversion service returned no pictures");
inline constexpr auto kFetchError = Encode("a converted picture could not be fetched");
inline constexpr auto kNameError =
    Encode("the conversion service named a picture that is not a plain file name");
inline constexpr auto kSubRunError = Encode("a page did not print: ");
inline constexpr auto kTimeoutError = Encode("a page's print run did not answer in time");
inline constexpr auto kStartError = Encode("cannot start the page's print run: ");
inline constexpr auto kWriteError = Encode("cannot write the converted picture: ");
inline constexpr auto kSubRunType = Encode("png");

}  // namespace vellora::helper::conversion_texts
