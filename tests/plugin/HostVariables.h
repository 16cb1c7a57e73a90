#pragma once
// The host's side of the plug-in link record, as plain variables a test
// sets: port, slave address, link-up flag, close request, status word.

#include "app/PluginLinkRecord.h"

#include <atomic>

struct HostVariables {
    int port = -1;
    uint8_t slave = 1;
    int linkUp = 1;
    std::atomic<int32_t> closeRequest{0};
    std::atomic<int32_t> status{0};
    PluginLinkRecord record() { return {&port, nullptr, &slave, &linkUp, &closeRequest, &status}; }
};
