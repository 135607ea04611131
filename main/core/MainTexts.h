// The main program's own texts, kept encoded. One block per area of the program; each area
// adds its texts to its own block.
#pragma once

#include "shared/Literal.h"

namespace vellora::core::texts {
using lit::Encode;

// --- main window, start-up, timer, status logs, notifications ---

// --- accounts, mail check, first-run wizard ---

// --- rules ---

// --- attachment types, body pages, job creation ---

// --- printers, dispatcher, failed jobs ---

// --- options ---

}  // namespace vellora::core::texts
