// The conversion request as client and service both know it:
//   POST <base>/convert, multipart/form-data with the file field "document" and the text
//   fields "jobid" and "type" (the document's type token, such as pdf or heic);
//   answer 200 with "OK" on the first line and one result file name on each further line,
//   every line ended by a line feed alone; each result is fetched from <base>/results/<name>.
// Any other answer has another status and a text that starts with "ERROR".
#pragma once

#include "shared/Literal.h"

namespace vellora::convert {
using lit::Encode;

inline constexpr auto kRequestPath = Encode("/convert");
inline constexpr auto kResultsPath = Encode("/results/");
inline constexpr auto kFileField = Encode("document");
inline constexpr auto kJobIdField = Encode("jobid");
inline constexpr auto kTypeField = Encode("type");
inline constexpr auto kMarker = Encode("OK");  // exactly two characters
inline constexpr auto kErrorWord = Encode("ERROR");

}  // namespace vellora::convert
