#pragma once
// The parameter-reference file (.qdt): free text with help blocks between
// "{{{" and "}}}", counted from 1 in file order; block N+1 belongs to
// parameter N.

#include "param/LimitedTextFile.h"

#include <string>

constexpr size_t kMaxHelpBlockCharacters = 1003;

enum class HelpBlockStatus {
    Ok,
    NoBlock,      // the file has fewer blocks: nothing to show
    FileProblem,  // see fileStatus
    Unclosed,     // a "{{{" without its "}}}"
    TooLong       // more than 1003 characters
};

struct HelpBlock {
    HelpBlockStatus status = HelpBlockStatus::NoBlock;
    TextFileStatus fileStatus = TextFileStatus::Ok;
    std::string text;  // line breaks as LF
};

HelpBlock ReadHelpBlock(const std::string& path, int blockNumber);
// Block N of a file's text.
HelpBlock FindHelpBlock(const std::string& text, int blockNumber);
// The problem of a block that cannot be shown, for the user.
std::string HelpBlockProblemText(const HelpBlock& block, const std::string& path, int blockNumber);
