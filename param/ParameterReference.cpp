#include "param/ParameterReference.h"

#include "texts/LoadText.h"

namespace {

std::string withoutCarriageReturns(std::string text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r')
            out += c;
    return out;
}

}  // namespace

HelpBlock FindHelpBlock(const std::string& text, int blockNumber)
{
    HelpBlock block;
    if (blockNumber < 1)
        return block;
    size_t open = std::string::npos;
    size_t from = 0;
    for (int n = 0; n < blockNumber; ++n) {
        open = text.find("{{{", from);
        if (open == std::string::npos)
            return block;  // NoBlock
        from = open + 3;
    }
    const size_t close = text.find("}}}", from);
    if (close == std::string::npos) {
        block.status = HelpBlockStatus::Unclosed;
        return block;
    }
    std::string body = withoutCarriageReturns(text.substr(from, close - from));
    if (CharacterCount(body) > kMaxHelpBlockCharacters) {
        block.status = HelpBlockStatus::TooLong;
        return block;
    }
    block.status = HelpBlockStatus::Ok;
    block.text = std::move(body);
    return block;
}

HelpBlock ReadHelpBlock(const std::string& path, int blockNumber)
{
    std::string text;
    const TextFileStatus status = ReadLimitedTextFile(path, text);
    if (status != TextFileStatus::Ok) {
        HelpBlock block;
        block.status = HelpBlockStatus::FileProblem;
        block.fileStatus = status;
        return block;
    }
    return FindHelpBlock(text, blockNumber);
}

std::string HelpBlockProblemText(const HelpBlock& block, const std::string& path, int blockNumber)
{
    switch (block.status) {
    case HelpBlockStatus::Ok:
    case HelpBlockStatus::NoBlock: return std::string();
    case HelpBlockStatus::FileProblem: return TextFileProblemText(block.fileStatus, path);
    case HelpBlockStatus::Unclosed: return path + LoadText(1110) + std::to_string(blockNumber) + LoadText(1111);
    case HelpBlockStatus::TooLong: return path + LoadText(1110) + std::to_string(blockNumber) + LoadText(1112);
    }
    return std::string();
}
