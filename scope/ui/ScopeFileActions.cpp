#include "scope/ui/ScopeFileActions.h"

#include "platform/AtomicFile.h"
#include "platform/UserPrompt.h"
#include "scope/CsvExport.h"
#include "scope/ScopeSession.h"
#include "texts/LoadText.h"

#include <QBuffer>

#include <ctime>

namespace {

const char kWaveformFilter[] = "AllFiles(*.wfm)|*.wfm||";

// A name typed without an extension gets the one the dialog offered.
std::string withExtension(std::string path, const char* extension)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        path += extension;
    return path;
}

std::string chooseSaveName(unsigned captionId, const std::string& filter, const std::string& defaultName,
                           const char* extension)
{
    platform::FileChoice choice;
    choice.caption = LoadText(captionId);
    choice.filter = filter;
    choice.defaultName = defaultName;
    const std::string path = platform::userPrompt().saveFileName(choice);
    return path.empty() ? path : withExtension(path, extension);
}

void writeExport(const std::string& path, const std::string& bytes)
{
    platform::WaitCursor wait;
    if (!platform::writeFileAtomically(path, bytes))
        platform::userPrompt().messageBox(LoadText(1167), "Error");
}

}  // namespace

void ScopeFileActions::Save(const ScopeSession& session)
{
    const std::string path = chooseSaveName(274, kWaveformFilter, "*.wfm", ".wfm");
    if (path.empty())
        return;
    platform::WaitCursor wait;
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    if (!session.saveWaveform(path, utc))
        platform::userPrompt().messageBox("4.Open File Error !", "Error");
}

bool ScopeFileActions::Recall(ScopeSession& session)
{
    platform::FileChoice choice;
    choice.caption = LoadText(275);
    choice.filter = kWaveformFilter;
    const std::string path = platform::userPrompt().openFileName(choice);
    if (path.empty())
        return false;
    std::vector<int> refused;
    ScopeSession::RecallResult result;
    {
        platform::WaitCursor wait;
        result = session.recall(path, &refused);
    }
    switch (result) {
    case ScopeSession::RecallResult::OpenFailed:
        platform::userPrompt().messageBox("7.Open File Error !", "Error");
        return false;
    case ScopeSession::RecallResult::FormatError:
        platform::userPrompt().messageBox("File Format Error!", "Error");
        return true;  // the channel boxes were cleared
    case ScopeSession::RecallResult::Loaded:
        break;
    }
    for (size_t i = 0; i < refused.size(); ++i)
        platform::userPrompt().messageBox(LoadText(268), "Warning");
    return true;
}

void ScopeFileActions::ExportCsv(const ScopeSession& session)
{
    const std::string path = chooseSaveName(1160, LoadText(1165), "capture.csv", ".csv");
    if (path.empty())
        return;
    std::array<bool, kScopeChannelCount> shown{};
    for (int c = 0; c < kScopeChannelCount; ++c)
        shown[static_cast<size_t>(c)] = session.scale().checked(c);
    writeExport(path, WriteCsvText(session.buffers().snapshot(), shown,
                                   session.captureLength()));
}

void ScopeFileActions::ExportPng(const QImage& screen)
{
    const std::string path = chooseSaveName(1161, LoadText(1166), "scope.png", ".png");
    if (path.empty())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    screen.save(&buffer, "PNG");
    writeExport(path, bytes.toStdString());
}
