#pragma once
// The plug-in's application object, one per process: its settings and
// language files, its own Modbus master on the host's port, the values it
// shares between the window and the worker thread, and the worker itself.
// Bound when the host calls the entry point, released with the template.

#include "aux/CStringResource.h"
#include "comm/CModbus.h"
#include "plugin/CommWorker.h"
#include "plugin/HostLink.h"
#include "plugin/WaypadSettings.h"
#include "plugin/WaypadShared.h"

#include <memory>
#include <string>

class CWaypadApp {
public:
    static CWaypadApp& instance();
    ~CWaypadApp();

    // Reads the settings and the language file from the working directory,
    // takes the host's port and slave address, and starts the worker parked.
    void bind(const PluginLinkRecord& record, const std::string& workingDirectory);
    // Ends the worker (after a pending servo off went out) and writes the
    // settings back.
    void release();
    bool bound() const { return worker_ != nullptr; }

    waypad::WaypadSettings& settings() { return settings_; }
    waypad::WaypadShared& shared() { return *shared_; }
    waypad::HostLink& host() { return *host_; }
    waypad::CommWorker& worker() { return *worker_; }
    CModbus& modbus() { return modbus_; }
    // A text of the plug-in by identifier (language file first).
    std::string text(unsigned id) const;

    // A window opened or closed: the worker runs only while one is open.
    void windowOpened();
    void windowClosed();

    // The close question is due when the servo is on, unless the host's
    // close request was answered already.
    bool closeQuestionDue() const;
    // Hands the answer to the worker: keep the servo on, or turn it off
    // (the status word reports the answer once the servo off went out).
    void answerCloseQuestion(bool keepServoOn);

private:
    CWaypadApp();

    waypad::WaypadSettings settings_;
    const BuiltInStringTable* builtIn_;
    CStringResource texts_{&builtIn_};
    CModbus modbus_;
    waypad::ModbusDriveBus bus_{modbus_};
    std::unique_ptr<waypad::WaypadShared> shared_;
    std::unique_ptr<waypad::HostLink> host_;
    std::unique_ptr<waypad::CommWorker> worker_;
};
