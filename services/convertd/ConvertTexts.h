// The conversion service's own texts: answers, option names, program names.
#pragma once

#include "shared/Literal.h"

namespace vellora::convertd::texts {
using lit::Encode;

// Answers (each follows the error word and a blank).
inline constexpr auto kNotMultipart = Encode("expected a multipart/form-data upload");
inline constexpr auto kMissingField = Encode("missing form field: ");
inline constexpr auto kBadJobId = Encode("job id must be 1 to 10 digits");
inline constexpr auto kBadType = Encode("type must be 1 to 16 letters or digits");
inline constexpr auto kUnsupported = Encode("cannot convert documents of type ");
inline constexpr auto kEmptyUpload = Encode("the document is empty");
inline constexpr auto kTooLarge = Encode("the upload is larger than this service takes");
inline constexpr auto kBusy = Encode("too many conversions at once, try again later");
inline constexpr auto kTimedOut = Encode("conversion took longer than its time limit");
inline constexpr auto kFailed = Encode("the document could not be converted: ");
inline constexpr auto kLocked = Encode("the PDF is protected by a password");
inline constexpr auto kUnreadable = Encode("not a readable document");
inline constexpr auto kTooManyPages = Encode("more pages than this service converts");
inline constexpr auto kNoPages = Encode("the document has no pages");
inline constexpr auto kNoResult = Encode("the converter wrote no picture");
inline constexpr auto kNotFound = Encode("no such result");
inline constexpr auto kInternal = Encode("internal error");
inline constexpr auto kWorkFailed = Encode("cannot prepare a work folder");
inline constexpr auto kNoSandbox =
    Encode("this service converts only inside the sandbox (bubblewrap), which cannot run here: ");

// Files.
inline constexpr auto kUploadName = Encode("upload.");
inline constexpr auto kPageFormat = Encode("-%03d.png");
inline constexpr auto kPngFormat = Encode("png");
inline constexpr auto kPngMime = Encode("image/png");
inline constexpr auto kConverterLog = Encode("converter.log");
inline constexpr auto kResultPattern = Encode("/results/([0-9a-f]{32}-[0-9]{3}\\.png)");

// Command line.
inline constexpr auto kOptListen = Encode("listen");
inline constexpr auto kOptPort = Encode("port");
inline constexpr auto kOptResults = Encode("results");
inline constexpr auto kOptWork = Encode("work");
inline constexpr auto kOptMaxUpload = Encode("max-upload");
inline constexpr auto kOptTimeLimit = Encode("time-limit");
inline constexpr auto kOptKeep = Encode("keep");
inline constexpr auto kOptSweep = Encode("sweep");
inline constexpr auto kOptMaxPages = Encode("max-pages");
inline constexpr auto kOptJobs = Encode("jobs");
inline constexpr auto kOptConvert = Encode("convert");
inline constexpr auto kOptLog = Encode("log");
inline constexpr auto kOptConfinement = Encode("confinement");
inline constexpr auto kOptRequestTime = Encode("request-time");
inline constexpr auto kOptHostName = Encode("host-name");
inline constexpr auto kConfinementAuto = Encode("auto");
inline constexpr auto kConfinementRequired = Encode("required");
inline constexpr auto kRenderPdfMode = Encode("--render-pdf");
inline constexpr auto kDefaultListen = Encode("127.0.0.1");
inline constexpr auto kDefaultConvert = Encode("/usr/bin/convert");
inline constexpr auto kSelfExe = Encode("/proc/self/exe");
inline constexpr auto kUsage = Encode(
    "usage: vellora-convertd --results DIR --work DIR [--listen ADDR] [--port N]\n"
    "       [--max-upload BYTES] [--time-limit SECONDS] [--keep SECONDS] [--sweep SECONDS]\n"
    "       [--max-pages N] [--jobs N] [--convert PROGRAM] [--log FILE]\n"
    "       [--request-time SECONDS] [--host-name NAME]... [--confinement auto|required]\n");
inline constexpr auto kBadOption = Encode("vellora-convertd: bad option or value: ");
inline constexpr auto kCannotBind = Encode("vellora-convertd: cannot listen on ");
inline constexpr auto kListening = Encode("vellora-convertd: listening on ");

// Document families by type token (blank-separated, lower case).
inline constexpr auto kPdfTypes = Encode(" pdf ");
inline constexpr auto kOfficeTypes = Encode(
    " doc docx docm dot dotx odt ott rtf xls xlsx xlsm xlt xltx ods ots ppt pptx pptm pps ppsx "
    "pot potx odp otp ");
// Picture tokens and the ImageMagick reader each one is held to, so that a file never picks
// a reader (PostScript, MVG, MSL ...) by its own contents.
inline constexpr auto kPictureCoders = Encode(
    " jpg=JPEG jpeg=JPEG jpe=JPEG jfif=JPEG png=PNG bmp=BMP dib=BMP gif=GIF tif=TIFF tiff=TIFF "
    "webp=WEBP heic=HEIC heif=HEIC avif=AVIF psd=PSD pcx=PCX tga=TGA ico=ICO ppm=PNM pgm=PNM "
    "pbm=PNM pnm=PNM ");

}  // namespace vellora::convertd::texts
