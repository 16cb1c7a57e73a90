#pragma once
// A raw pseudo-terminal pair standing in for a serial line: the code under
// test opens slavePath(), the test talks on masterFd(). The pair holds a slave
// descriptor itself, so the master side survives the code's close and reopen.

#include <cstdint>
#include <string>

namespace testsupport {

class PtyPair {
public:
    PtyPair();   // check ok(); a failed pair has masterFd() -1
    ~PtyPair();  // closes both descriptors
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return masterFd_ >= 0 && slaveFd_ >= 0; }
    int masterFd() const { return masterFd_; }
    const std::string& slavePath() const { return slavePath_; }
    // The baud the code under test set on the slave side (0 when unknown).
    uint32_t slaveBaud() const;

private:
    int masterFd_ = -1;
    int slaveFd_ = -1;
    std::string slavePath_;
};

}  // namespace testsupport
