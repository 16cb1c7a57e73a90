#include "CUARTComm.h"

#include "platform/PortTable.h"
#include "platform/SerialPort.h"
#include "platform/UserPrompt.h"

#include <vector>

namespace {

// The two messages of the port; "%s" is the port's display name.
constexpr const char* kAlreadyOpenText = "通訊埠%s已開啟?";
constexpr const char* kCannotOpenText =
    "無法開啟通訊埠%s，是否有其它程式開啟? 或指定的通訊埠不存在?";
// A read of what the queue reported never needs long; this only bounds a
// read of more than is waiting.
constexpr int kReadTimeoutMs = 1000;

std::string formatWithName(const char* text, const std::string& name) {
    std::string out = text;
    out.replace(out.find("%s"), 2, name);
    return out;
}

void showError(const std::string& text) {
    platform::userPrompt().messageBox(text, "Error", platform::PromptButtons::Ok,
                                      platform::PromptIcon::Error);
}

}  // namespace

CUARTComm::CUARTComm() : m_hComm(platform::kNoPort) {}

CUARTComm::~CUARTComm() = default;

int CUARTComm::OpenComPort(int port, platform::SerialSettings& settings) {
    const std::string name = platform::PortTable::displayName(port);
    if (platform::isOpenHandle(m_hComm)) {
        showError(formatWithName(kAlreadyOpenText, name));
        return 0;
    }
    const std::string path = platform::PortTable::devicePath(port);
    platform::SerialOpenResult opened;
    if (path.empty())
        opened.error = platform::SerialError::NotFound;
    else
        opened = platform::serialOpen(path);
    if (!platform::isOpenHandle(opened.handle)) {
        m_hComm = platform::kInvalidPort;
        std::string text = formatWithName(kCannotOpenText, name);
        // A user outside the serial group gets nowhere by closing programs.
        if (opened.error == platform::SerialError::PermissionDenied)
            text += "\n(" + platform::serialErrorText(opened.error) + ")";
        showError(text);
        return 0;
    }
    m_hComm = opened.handle;

    // Only the four line values change; results are not checked, as a port
    // that refuses a rate still talks at the one it has.
    platform::SerialSettings current;
    platform::serialGetSettings(m_hComm, current);
    current.BaudRate = settings.BaudRate;
    current.ByteSize = settings.ByteSize;
    current.Parity = settings.Parity;
    current.StopBits = settings.StopBits;
    platform::serialSetSettings(m_hComm, current);

    // Whatever waited before we opened belongs to nobody's request.
    m_ComStat = ComStat{};
    uint32_t waiting = 0;
    if (platform::serialQueuedInput(m_hComm, waiting)) {
        m_ComStat.cbInQue = waiting;
        if (waiting > 0) {
            std::vector<unsigned char> sink(waiting);
            platform::serialRead(m_hComm, sink.data(), sink.size(), kReadTimeoutMs);
        }
    }
    return 1;
}

int CUARTComm::CloseComPort() {
    const bool closed = platform::serialClose(m_hComm);
    m_hComm = platform::kNoPort;
    return closed ? 1 : 0;
}

int CUARTComm::UWrite(unsigned char* buffer, unsigned int length) {
    return platform::serialWrite(m_hComm, buffer, length) ? 1 : 0;
}

int CUARTComm::URead(unsigned char* buffer, unsigned int length) {
    return platform::serialRead(m_hComm, buffer, length, kReadTimeoutMs) ? 1 : 0;
}

unsigned long CUARTComm::PreCountInQue() {
    uint32_t waiting = 0;
    return platform::serialQueuedInput(m_hComm, waiting) ? waiting : 0;
}
