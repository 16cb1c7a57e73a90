#pragma once
// Connecting drivara-cli to the drive its options name (port, rate and
// station, each given or searched for) through the program's connection
// search, and learning the drive's model: identified, or named with
// --model. The port is let go when the session ends.

#include "cli/CliContext.h"
#include "link/DriveIdentification.h"
#include "tables/DriveType.h"

#include <cstdint>
#include <string>

class DriveSession {
public:
    explicit DriveSession(CliContext& context);
    ~DriveSession();
    DriveSession(const DriveSession&) = delete;
    DriveSession& operator=(const DriveSession&) = delete;

    // Each returns kExitOk, or the exit code after telling what failed.
    int connect();
    // Asks the drive for its identification; a drive that does not answer
    // is a failure, an unlisted model is not.
    int identify();
    // The drive type the page works with: --model, or the identified model
    // (which must be one the tool knows). Becomes the current drive type.
    int takeModel();
    // Both: the start of every command on the drive's parameters.
    int connectWithModel();

    int com() const { return com_; }
    std::string devicePath() const;
    uint32_t baud() const;
    int station() const;
    const DriveIdentity& identity() const { return identity_; }
    bool identified() const { return identity_.answered; }
    const DriveType& drive() const { return drive_; }
    // The reported model code without padding and unprintable bytes.
    std::string printableCode() const;

private:
    CliContext& context_;
    int com_ = 0;
    int baudIndex_ = -1;
    bool connected_ = false;
    DriveIdentity identity_;
    DriveType drive_;
};

// "Vr", "Qm" or "Zt".
std::string FamilyName(int family);
