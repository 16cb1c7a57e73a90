#pragma once
// A pseudo-terminal pair standing in for a serial line: the code under test
// opens slavePath() like a serial device, the test talks on masterFd().
// Both ends are raw. The pair keeps a slave descriptor open itself, so the
// master side keeps working while the code under test closes and reopens.

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
    // The baud the slave side is set to now (0 when unknown): what the code
    // under test chose with its line settings.
    uint32_t slaveBaud() const;

private:
    int masterFd_ = -1;
    int slaveFd_ = -1;
    std::string slavePath_;
};

}  // namespace testsupport
