// Undoes what terminal programs and pagers leave in a saved log before a reader sees it: doubled
// line ends, padding blanks, a time stamp in front of every line, the program's header line,
// pager prompts, erase-line and colour escapes. A capture that holds none of these is read in
// place, so a large clean capture costs one quick scan.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tables/line_accounting.h"

namespace kestrelon::tables {

// Where the quick scan saw what starts a prompt or a table, in order: a "#" or ">" (a prompt's
// end), a '"' (of NX-OS's "Table for VRF \"") and "Codes:" (a legend). A capture's later looks
// for devices and platforms go by these instead of reading it all again.
struct LogSurvey {
  std::vector<std::size_t> promptMarks;
  std::vector<std::size_t> tableMarks;
  bool complete = false;  // the scan went through the whole capture
};

class CleanedCapture {
 public:
  // capture must outlive the object: it is used as it is when it needs no cleaning.
  explicit CleanedCapture(std::string_view capture);
  CleanedCapture(const CleanedCapture&) = delete;
  CleanedCapture& operator=(const CleanedCapture&) = delete;

  // The text to read. When cleaned, it holds one line, ended by LF, per line of the capture,
  // so a line's number stays the one it has in the capture.
  std::string_view text() const { return text_; }
  bool cleaned() const { return text_.data() != capture_.data(); }

  // The lines (numbered from 1) that were wholly noise: a pager prompt, a terminal program's
  // header. A pager prompt's line reads "--More--" in text(), as a reader knows it: one that
  // stands between a route and its next path ends no route.
  const std::vector<std::size_t>& noiseLines() const { return noise_; }

  // What the quick scan noted of the capture read in place, or null (a cleaned capture).
  const LogSurvey* survey() const { return !cleaned() && survey_.complete ? &survey_ : nullptr; }

  // Marks the noise lines of part, a part of text() whose first line is line firstLine, in
  // account as pager remnants, numbered as account numbers part's lines (from 1).
  void MarkNoise(LineAccount& account, std::size_t firstLine, std::string_view part) const;

 private:
  std::string_view capture_;
  std::string cleaned_;
  std::string_view text_;
  std::vector<std::size_t> noise_;
  LogSurvey survey_;
};

// Whether capture holds anything CleanedCapture would change: cheap, one pass over its bytes.
// When it holds none, survey (if given) gets what the pass noted.
bool NeedsCleaning(std::string_view capture, LogSurvey* survey = nullptr);

// The length of the terminal program's time stamp that starts line, with the one blank after
// it ("[Mon Dec 07 21:47:26.123 2026] ", "<2026-12-07 21:47:26> ", "2026-12-07T21:47:26Z "),
// or 0. The opening bracket, or 0 for none, goes to form.
std::size_t TimeStampLength(std::string_view line, char* form = nullptr);

// The length of a pager's prompt at the start of text ("--More--", "<--- More --->",
// "---(more 42%)---"), or 0.
std::size_t PagerPromptLength(std::string_view text);

}  // namespace kestrelon::tables
