#include "cli/PlainText.h"

std::string TrimBlanks(const std::string& text)
{
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string PadRight(std::string text, size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string WrapText(const std::string& text, size_t width, size_t indent)
{
    std::string wrapped;
    size_t column = indent;  // the first line continues a line already there
    bool firstLine = true;
    for (const std::string& paragraph : SplitLines(text)) {
        if (!firstLine) {
            wrapped += "\n" + std::string(indent, ' ');
            column = indent;
        }
        firstLine = false;
        size_t start = 0;
        bool lineHasWord = false;
        while (start <= paragraph.size()) {
            size_t end = paragraph.find(' ', start);
            if (end == std::string::npos)
                end = paragraph.size();
            const std::string word = paragraph.substr(start, end - start);
            if (!word.empty()) {
                if (lineHasWord && column + 1 + word.size() > width) {
                    wrapped += "\n" + std::string(indent, ' ');
                    column = indent;
                    lineHasWord = false;
                }
                if (lineHasWord) {
                    wrapped += ' ';
                    ++column;
                }
                wrapped += word;
                column += word.size();
                lineHasWord = true;
            }
            start = end + 1;
        }
    }
    return wrapped;
}
