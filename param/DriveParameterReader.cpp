#include "param/DriveParameterReader.h"

#include "comm/CModbus.h"
#include "link/LinkConnection.h"
#include "link/LinkRequests.h"
#include "link/LinkState.h"
#include "platform/Ticks.h"
#include "platform/UserPrompt.h"
#include "texts/LoadText.h"

namespace {

constexpr int kBlock = 64;
constexpr uint16_t kReadWaitMs = 200;
constexpr int kReadRetries = 1;
constexpr size_t kFirstDataByte = 3;  // after address, function and byte count

int16_t registerAt(int index)
{
    const uint8_t* data = linkState().receiveBuffer + kFirstDataByte + 2 * index;
    return static_cast<int16_t>((data[0] << 8) | data[1]);
}

bool readBlock(int start, int count)
{
    return LinkReadRegistersUpTo(linkState().slaveAddress, 0x00, static_cast<uint8_t>(start), 0x00,
                                 static_cast<uint8_t>(count), kReadWaitMs, kReadRetries) == 1;
}

}  // namespace

bool ReadDriveParameters(ParameterValues& values, const std::function<void(int, int16_t)>& each, unsigned pauseMs)
{
    for (int block = 0; block < 2; ++block) {
        const int start = block * kBlock;
        if (!readBlock(start, kBlock)) {
            platform::userPrompt().messageBox(LoadText(block == 0 ? 329 : 330), "Error",
                                              platform::PromptButtons::Ok, platform::PromptIcon::Error);
            return false;
        }
        // Taken out of the buffer first: `each` may talk to the drive.
        int16_t blockValues[kBlock];
        for (int i = 0; i < kBlock; ++i)
            blockValues[i] = registerAt(i);
        for (int i = 0; i < kBlock; ++i) {
            values[start + i] = blockValues[i];
            if (each)
                each(start + i, blockValues[i]);
            if (block == 1 && pauseMs > 0)
                platform::sleepMs(pauseMs);
        }
    }
    return true;
}

bool ReadDriveRegister(uint8_t reg, int16_t& value)
{
    if (!readBlock(reg, 1))
        return false;
    value = registerAt(0);
    return true;
}

void FollowStationAddress(int station)
{
    const uint8_t address = static_cast<uint8_t>(station);
    LinkState& link = linkState();
    link.slaveAddress = address;
    link.pluginSlaveAddress = address;
    LinkModbus().SetSlaveAddress(address);
}
