#include "plugin/CWaypadApp.h"

#include "plugin/WaypadTexts.h"

CWaypadApp& CWaypadApp::instance()
{
    static CWaypadApp app;
    return app;
}

CWaypadApp::CWaypadApp()
    : builtIn_(&waypad::BuiltInTexts()),
      shared_(std::make_unique<waypad::WaypadShared>()),
      host_(std::make_unique<waypad::HostLink>())
{
}

CWaypadApp::~CWaypadApp()
{
    release();
}

void CWaypadApp::bind(const PluginLinkRecord& record, const std::string& workingDirectory)
{
    release();
    settings_ = waypad::WaypadSettings::read(workingDirectory);
    texts_ = CStringResource(&builtIn_);
    texts_.ReadTableFile(settings_.languagePath.c_str());  // missing: the built-in texts
    modbus_ = CModbus();
    shared_ = std::make_unique<waypad::WaypadShared>();
    host_ = std::make_unique<waypad::HostLink>(record);
    bus_.followHost(host_.get());
    bus_.usePort(host_->portHandle(), host_->slaveAddress());
    worker_ = std::make_unique<waypad::CommWorker>(bus_, *shared_, *host_, settings_.showPulsePosition);
    worker_->start();
}

void CWaypadApp::release()
{
    if (!worker_)
        return;
    worker_->stop();
    worker_.reset();
    bus_.followHost(nullptr);
    settings_.save();
}

std::string CWaypadApp::text(unsigned id) const
{
    return texts_.GetResString(id);
}

void CWaypadApp::windowOpened()
{
    if (worker_)
        worker_->resume();
}

void CWaypadApp::windowClosed()
{
    if (worker_)
        worker_->pause();
}

bool CWaypadApp::closeQuestionDue() const
{
    if (!shared_->servoOn.load())
        return false;
    return !(host_->closeRequested() && (host_->statusWord() & kPluginCloseAnsweredBit));
}

void CWaypadApp::answerCloseQuestion(bool keepServoOn)
{
    shared_->closeAnswer = keepServoOn ? waypad::kKeepServoState : waypad::kTurnServoOff;
}
