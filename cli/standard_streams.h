// Byte copies between files and the standard streams (or pipes), reporting failures as FileError.
#pragma once

#include <string>
#include <string_view>

#include "files/capture_text.h"
#include "files/platform.h"

namespace kestrelon::cli {

// The name errors give the standard streams.
inline constexpr const char* kStandardInputName = "standard input";
inline constexpr const char* kStandardOutputName = "standard output";

// Reads the open file source to its end into a new file target; sourceName is for errors, which
// name the source also when the copy cannot be written. check, when given, sees every byte first.
void CopyOpenFileToFile(files::NativeFile& source, const std::string& sourceName,
                        const std::string& target, files::TextCheck* check = nullptr);

// Reads the file or pipe source to its end into a new file target.
void CopyToFile(const std::string& source, const std::string& target,
                files::TextCheck* check = nullptr);

// Writes all of bytes to standard output.
void WriteStandardOutput(std::string_view bytes);

// Writes the whole file path to standard output: the run's result, so the run has succeeded
// once it is out (files/signal_cleanup.h).
void CopyFileToStandardOutput(const std::string& path);

}  // namespace kestrelon::cli
