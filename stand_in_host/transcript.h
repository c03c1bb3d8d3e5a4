// What the stand-in host says: every line goes to standard output and into the transcript,
// which a scenario test compares with its expected file.
#pragma once

#include <cstdint>
#include <string>

#include "tests/quoted.h"

// Prints one line (it may hold '\n') and adds it to the transcript.
void Say(const std::string& line);

// 0x0040100A
std::string Hex(std::uint32_t value);

// Compares the transcript with the file at expectedPath, in which "{*}" stands for any run
// of text. A mismatch names EXPECTED_FILE:LINE and shows both lines. Returns 0 if they
// match, 1 if not, 2 if the file cannot be read.
int CompareTranscript(const std::string& expectedPath);

// Text that differs from one run to another (the plugin's version from one build to the
// next, the script's path as the command line gives it): a recorded transcript holds "{*}"
// in its place, so that it stays true. why completes "which varies ...".
void Varies(const std::string& text, const std::string& why);

// Writes the transcript to path, to become an expected file, each text that varies
// written as "{*}" (and said so). Returns 0, or 2 if the file cannot be written.
int RecordTranscript(const std::string& path);
