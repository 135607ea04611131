// The sandbox for every program that reads hostile content (the office program, ImageMagick,
// the PDF renderer): bubblewrap with every namespace of its own, so the program reaches no
// network, sees no process of ours, and sees of the file system only the system folders it
// needs (read-only), the folders of its own run (read-write) and a private /tmp.
//
// Some machines (containers without user namespaces) cannot run bubblewrap. There the
// program runs as before, unconfined, and the first such run says so through the notice
// handler; a caller that must not run unconfined asks for Mode::Required and gets an error.
//
// VELLORA_BWRAP names another bubblewrap (tests point it at a missing program to take the
// unconfined road).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vellora::confine {

enum class Mode {
    Auto,      // confined where bubblewrap runs, else unconfined (with one notice)
    Required,  // confined, or not at all
};

// What the program may see beyond the system: folders and files at their own paths.
struct Sandbox {
    std::vector<std::string> writable;  // the run's folders: bound read-write
    std::vector<std::string> readable;  // further inputs: bound read-only
    bool office = false;                // the office program's fonts and settings
    bool pictures = false;              // ImageMagick's policy
    std::string home;                   // HOME inside (one of the writable folders); may be empty
};

struct Wrapped {
    std::vector<std::string> argv;  // what to start: bubblewrap and its arguments, or argv
    bool confined = false;
    // Set when nothing may be started: the sandbox is required but cannot run, or the
    // program to confine is missing (then "<path>: <reason>").
    std::string error;
};

// Whether bubblewrap can make its namespaces here; probed once per process (and per
// bubblewrap program). `why` receives the reason when it cannot.
bool Available(std::string* why = nullptr);

// The command line that runs argv inside the sandbox, or argv itself when the sandbox cannot
// run and the mode allows that. argv[0] must be an absolute path.
Wrapped Wrap(const std::vector<std::string>& argv, const Sandbox& box, Mode mode);

// Where the one notice of an unconfined run goes (default: standard error).
void SetNoticeHandler(std::function<void(const std::string&)> handler);
// With a marker file the notice is given once across processes: only the run that creates
// the marker gives it, and a run that finds the sandbox working removes it again.
void SetNoticeMarker(const std::string& path);

// Forgets the probes, the notice given, the handler and the marker (tests in one process).
void ResetForTesting();

}  // namespace vellora::confine
