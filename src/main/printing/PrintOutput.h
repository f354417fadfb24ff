#pragma once

#include "settings/Settings.h"

#include <string_view>

class QPrinter;

// Prints the collected output (Windows-1252, lines ended by CR LF) on the printer as the print
// dialog left it: as many copies as it asked for, each from a new page and opening with
// `heading` where one is given, in the print font and its colour, under the document name
// "Corvex". Output whose lines measure no height prints nothing. False when the printer cannot
// begin the document.
bool PrintOutput(QPrinter& printer, const corvana::PrintFontData& font, std::string_view output,
                 std::string_view heading = {});
