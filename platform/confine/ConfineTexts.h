// The sandbox layer's texts: bubblewrap's options, the system paths a confined program may
// read, and the descriptions that reach a log or a failed job. Kept encoded like every literal.
#pragma once

#include "shared/Literal.h"

namespace vellora::confine::texts {
using lit::Encode;

inline constexpr auto kDefaultBwrap = Encode("/usr/bin/bwrap");
inline constexpr auto kBwrapVariable = Encode("VELLORA_BWRAP");
inline constexpr auto kProbeProgram = Encode("/usr/bin/true");

// Every namespace of its own (no network but a loopback of its own, its own process ids),
// no capabilities, killed with its parent, no terminal to push input into.
inline constexpr auto kIsolation =
    Encode("--unshare-all --die-with-parent --new-session --cap-drop ALL");
inline constexpr auto kRoBind = Encode("--ro-bind");
inline constexpr auto kRoBindTry = Encode("--ro-bind-try");
inline constexpr auto kBind = Encode("--bind");
inline constexpr auto kSymlink = Encode("--symlink");
inline constexpr auto kDev = Encode("--dev");
inline constexpr auto kProc = Encode("--proc");
inline constexpr auto kTmpfs = Encode("--tmpfs");
inline constexpr auto kSetenv = Encode("--setenv");
inline constexpr auto kChdir = Encode("--chdir");

// The system every confined program sees, read-only: the programs and libraries, and the
// loader's cache (without it the multiarch libraries are not found).
inline constexpr auto kUsr = Encode("/usr");
inline constexpr auto kRootLinks = Encode("/bin /sbin /lib /lib32 /lib64 /libx32");
inline constexpr auto kLoaderFiles = Encode("/etc/ld.so.cache /etc/localtime");
// What an office program needs beyond that: fonts with their cache, its own settings
// folder, the default paper.
inline constexpr auto kOfficeFiles =
    Encode("/etc/fonts /etc/libreoffice /etc/papersize /var/cache/fontconfig");
// What ImageMagick needs: its policy and delegates.
inline constexpr auto kPictureFiles = Encode("/etc/ImageMagick-6 /etc/ImageMagick-7");

// Descriptions.
inline constexpr auto kNotice = Encode(
    "the sandbox (bubblewrap) cannot run here, so documents and pictures are read without "
    "it, behind the programs' own safeguards only: ");
inline constexpr auto kRequired =
    Encode("the settings require the sandbox (bubblewrap), but it cannot run here: ");
inline constexpr auto kNoProgram = Encode("the sandbox program is missing: ");
inline constexpr auto kProbeFailed = Encode("it could not make its namespaces (exit code ");
inline constexpr auto kProbeSignal = Encode("it was ended by signal ");
inline constexpr auto kProbeStart = Encode("it could not be started: ");

}  // namespace vellora::confine::texts
