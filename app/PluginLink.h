#pragma once
// The host's side of the plug-in link: the variables the link record points
// into, and the wait at exit for a plug-in that holds the servo on.

#include "app/PluginLinkRecord.h"

#include <functional>

struct PluginLinkVariables {
    // The link keeps the copies of port, address and link-up flag up to date;
    // until it says where they live, these stand in (no drive, link down).
    int ownPortHandle = -1;
    uint8_t ownSlaveAddress = 0;
    int ownLinkUp = 0;
    int* portHandle = &ownPortHandle;
    uint8_t* slaveAddress = &ownSlaveAddress;
    int* linkUp = &ownLinkUp;

    std::atomic<int32_t> closeRequest{0};
    std::atomic<int32_t> statusWord{0};

    void useLinkCopies(int* port, uint8_t* slave, int* up);
    // The six pointers in their fixed order; zeroes the close request and
    // the status word, as binding requires.
    PluginLinkRecord bind();
};

PluginLinkVariables& PluginLinkState();

// At exit: when the plug-in holds the servo on, raise the close request and
// poll every 100 ms until it answers (bit 1). `betweenPolls` keeps the user
// interface alive so the plug-in can ask its question. The wait gives up
// after `limitMs` of its own polling, so a stuck plug-in cannot keep the
// program from closing; the time the question stays open does not count.
// Returns true when the plug-in answered or did not need to.
bool WaitForPluginClose(PluginLinkVariables& vars, const std::function<void()>& betweenPolls,
                        unsigned limitMs = 60000);
