// The frame every print helper runs in. A helper supplies its parsing style, its error text
// and one print step; the frame does the rest:
//
//   1. reads the argument text (argv[1], or all pieces joined by blanks) and parses it;
//   2. writes the job's record: the active status text directly followed by the decimal pid;
//   3. calls the print step;
//   4. when the step returns Outcome::kPrinted, writes the done status as the final record.
//
// Any exception from steps 1 to 4 lands in the error trap, which writes one log entry (the
// error text, [the step number and the separator,] the exception's description) and THEN the
// record (the error text directly followed by the description), exactly once, and ends the
// run with exit code 1. A command line without "@" is trapped under the job id made from the
// whole argument text. Nothing is ever written after the final record.
//
//   int main(int argc, char** argv) {
//       vellora::helper::HelperSetup setup;
//       setup.style = vellora::helper::ParseStyle::kStripQuotes;
//       setup.errorText = kError.str();            // must begin with the failed status text
//       return vellora::helper::RunHelper(argc, argv, setup, [](vellora::helper::HelperRun& run) {
//           run.SetStep(30);
//           vellora::helper::PrintOnDefault(pdfPath, title);   // throws when refused
//           return vellora::helper::Outcome::kPrinted;
//       });
//   }
//
// A step that writes its own final record (a failure it reports itself, or a route that ends
// with its own done record) calls run.Finish(...) or run.FailWith(...) and returns
// Outcome::kRecorded. Intermediate records (the conversion client's sub-run failures) go
// through run.WriteRecord(...), log entries of their own through run.GetSink().Log(...).
//
// A helper that needs a Qt application object constructs it before RunHelper with argv[0]
// alone, so that Qt never takes pieces of the argument text for options of its own.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "helpers/frame/CommandLine.h"
#include "helpers/frame/Wait.h"
#include "platform/print/CupsPrint.h"

namespace vellora::helper {

struct HelperSetup {
    ParseStyle style = ParseStyle::kStripQuotes;
    // Begins with the failed status text (the frame puts it in front when it does not).
    std::string errorText;
    // Log entries of the trap carry the failing step's number followed by this separator
    // (Pictor " - ", Docuvan its own); steps are not shown when it is empty.
    std::string stepSeparator;
    int parseStep = 10;   // current step while the command line is read
    int activeStep = 10;  // current step while the active record is written
};

enum class Outcome {
    kPrinted,   // the frame writes the done record
    kRecorded,  // the step wrote the final record itself; the frame writes nothing more
};

// Where the frame's writes go: the log file and the job store, or a test's recorder.
class Sink {
  public:
    virtual ~Sink() = default;
    virtual void Log(const std::string& text) = 0;  // may throw when the log cannot be written
    virtual void Record(const std::string& jobId, const std::string& value) = 0;
};
Sink& RealSink();  // modWriteLog::WriteLog and modJob::WriteJobRecord

class HelperRun {
  public:
    HelperRun(const HelperSetup& setup, Sink& sink, Clock& clock)
        : setup_(setup), sink_(sink), clock_(clock) {}
    const CommandLine& Line() const { return line_; }
    const HelperSetup& Setup() const { return setup_; }
    Clock& GetClock() { return clock_; }
    Sink& GetSink() { return sink_; }
    int Step() const { return step_; }
    void SetStep(int step) { step_ = step; }

    // A record that is not the last one (it will be overwritten later in the run).
    void WriteRecord(const std::string& value);
    // The final record; later writes of any kind are dropped.
    void Finish(const std::string& value);
    // A failure the step reports itself: log entry `logText`, then final record `record`.
    void FailWith(const std::string& logText, const std::string& record);
    bool Finished() const { return finished_; }
    bool Succeeded() const { return succeeded_; }  // the final record is the done status
    // The setup's error text, beginning with the failed status text.
    std::string ErrorText() const;

    // Used by the frame.
    void SetLine(CommandLine line) { line_ = std::move(line); }
    void Trap(const std::string& description);

  private:
    const HelperSetup& setup_;
    Sink& sink_;
    Clock& clock_;
    CommandLine line_;
    int step_ = 0;
    bool finished_ = false;
    bool succeeded_ = false;
};

using PrintStep = std::function<Outcome(HelperRun&)>;

// The whole run for a helper's main(); returns the process exit code (0 done, 1 failed).
int RunHelper(int argc, char** argv, const HelperSetup& setup, const PrintStep& step);
// The same on a given argument text, sink and clock (tests).
int RunHelperOn(const std::string& argumentText, const HelperSetup& setup, const PrintStep& step,
                Sink& sink, Clock& clock);

// A failure with its description, for print steps (any std::exception works as well).
struct HelperFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Prints a file on the CUPS default printer; throws HelperFailure with CUPS's description
// when it is refused. Returns the CUPS job id.
int PrintOnDefault(const std::string& path, const std::string& title,
                   const print::PrintOptions& options = {});

// The installation folder's folder for downloaded and converted pictures ("<folder>/tmp").
std::string HelperTempFolder();

// --- Conversion service client (the route for documents nothing local can print) ---------

enum class ConversionUser { kPictor, kDocuvan };

struct ConversionRequest {
    ConversionUser user = ConversionUser::kPictor;
    std::string path;       // without quotes
    std::string typeToken;  // Pictor: its own token; Docuvan: the PDF token
};

// (ConvertRemotely.cpp.) Sends the document to the conversion service and prints every result
// picture through a Pictor sub-run, writing the job's records itself (its last write is final).
// Returns true when it ended with the done record (helpers/frame/ConversionClient.h).
bool ConvertRemotely(HelperRun& run, const ConversionRequest& request);

}  // namespace vellora::helper
