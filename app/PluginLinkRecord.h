#pragma once
// The record through which the host shares its serial link with the Waypad
// plug-in: six pointers, read by the plug-in for its whole life. The close
// request and the status word are the two values both sides write while the
// plug-in's worker runs, hence atomics.

#include <atomic>
#include <cstdint>

class PluginDocTemplate;

struct PluginLinkRecord {
    int* portHandle;                     // host's open port (platform::PortHandle)
    void* reserved;                      // stays null
    uint8_t* slaveAddress;
    int* linkUp;                         // 1 while the host holds a connection
    std::atomic<int32_t>* closeRequest;  // host sets 1 to ask the plug-in to close
    std::atomic<int32_t>* statusWord;    // written by the plug-in, bits below
};

constexpr int32_t kPluginServoOnBit = 0x1;     // the plug-in holds the servo on
constexpr int32_t kPluginCloseAnsweredBit = 0x2;

// The plug-in's entry point, looked up by this name with C linkage.
extern "C" {
typedef PluginDocTemplate* (*CreateDLLDocTemplateFn)(PluginLinkRecord* record);
}
constexpr const char kPluginEntryPoint[] = "CreateDLLDocTemplate";
