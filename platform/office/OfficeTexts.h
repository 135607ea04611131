// The office layer's texts: program paths, command-line words and the descriptions that end
// up in a failed job's record. Kept encoded like every literal.
#pragma once

#include "shared/Literal.h"

namespace vellora::office::texts {
using lit::Encode;

// The program and how it is started.
inline constexpr auto kDefaultProgram = Encode("/usr/lib/libreoffice/program/soffice.bin");
inline constexpr auto kProgramVariable = Encode("VELLORA_OFFICE_PROGRAM");
inline constexpr auto kCacheVariable = Encode("VELLORA_OFFICE_CACHE");
inline constexpr auto kLockingVariable = Encode("SAL_ENABLE_FILE_LOCKING");
inline constexpr auto kProfileArgument = Encode("-env:UserInstallation=file://");
inline constexpr auto kHeadless = Encode("--headless");
inline constexpr auto kNoRestore = Encode("--norestore");
inline constexpr auto kNoLogo = Encode("--nologo");
inline constexpr auto kNoLockCheck = Encode("--nolockcheck");
inline constexpr auto kConvertTo = Encode("--convert-to");
inline constexpr auto kPdf = Encode("pdf");
inline constexpr auto kOutDir = Encode("--outdir");
inline constexpr auto kInFilter = Encode("--infilter=");
inline constexpr auto kWriterHtmlFilter = Encode("HTML (StarWriter)");

// Files and folders of a run.
inline constexpr auto kWorkFolder = Encode("/.office-XXXXXX");
inline constexpr auto kProfileFolder = Encode("/office-profile-");
inline constexpr auto kProfileTemp = Encode("/.office-profile-XXXXXX");
inline constexpr auto kCacheSub = Encode("/vellora");
inline constexpr auto kUserCache = Encode("/.cache");
inline constexpr auto kReadyMark = Encode("/user/registrymodifications.xcu");
inline constexpr auto kCopyName = Encode("document");
inline constexpr auto kPdfSuffix = Encode(".pdf");
inline constexpr auto kLogName = Encode("/office.log");
inline constexpr auto kWarmName = Encode("/warm-up.txt");
inline constexpr auto kWarmText = Encode("warm-up\n");

// Descriptions.
inline constexpr auto kNoFile = Encode("the document does not exist: ");
inline constexpr auto kNotAFile = Encode("the document is not a regular file: ");
inline constexpr auto kEmptyFile = Encode("the document is empty (0 bytes): ");
inline constexpr auto kUnreadable = Encode("the document cannot be read: ");
inline constexpr auto kWrongContents = Encode("the contents are not a document of its type ");
inline constexpr auto kNoOutDir = Encode("the output folder cannot be used: ");
inline constexpr auto kCopyFailed = Encode("the document could not be copied: ");
inline constexpr auto kNoProfile = Encode("the office profile could not be prepared: ");
inline constexpr auto kNotStarted = Encode("the office program could not be started: ");
inline constexpr auto kTimedOut = Encode("the office program did not finish within ");
inline constexpr auto kSecondsStopped = Encode(" s and was stopped");
inline constexpr auto kNoPdf = Encode("the office program could not convert the document");
inline constexpr auto kExitCode = Encode(" (exit code ");
inline constexpr auto kSignal = Encode(" (ended by signal ");
inline constexpr auto kOfficeSaid = Encode("; it said: ");
inline constexpr auto kBadPdf = Encode("the converted PDF cannot be read");
inline constexpr auto kLockedPdf = Encode("the converted PDF is locked");
inline constexpr auto kNoPages = Encode("the converted PDF has no pages");
inline constexpr auto kMoveFailed = Encode("the converted PDF could not be kept: ");
inline constexpr auto kNoHardening = Encode("the office profile could not be made safe: ");

}  // namespace vellora::office::texts
