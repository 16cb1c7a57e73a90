// Plug-in files for the binding and shell tests, chosen by a compile
// definition: one without the entry point, one whose entry point returns no
// template, and a stand-in for Waypad with a plain view and the plug-in's
// side of the close handshake.

#include "app/PluginDocTemplate.h"
#include "app/PluginLinkRecord.h"

#ifdef TEST_PLUGIN_STANDIN
#include "platform/UserPrompt.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr const char* kCloseQuestion = "Would you like to keep Servo ON status after close window?";

// Asks the close question where the real plug-in does: from its cycle when
// the host raises the close request, and when its own window closes.
class StandInTemplate : public PluginDocTemplate {
public:
    explicit StandInTemplate(const PluginLinkRecord& record) : record_(record)
    {
        cycle_.setInterval(10);
        QObject::connect(&cycle_, &QTimer::timeout, [this] { runCycle(); });
        cycle_.start();
    }
    std::string documentTitle() override { return "Waystation" + std::to_string(++documents_); }
    QWidget* createView(QWidget* parent) override { return new QLabel("Waystation", parent); }
    bool queryClose(QWidget*) override
    {
        askCloseQuestion();
        return true;
    }

private:
    void runCycle()
    {
        if (record_.closeRequest->load() == 1 && (record_.statusWord->load() & kPluginCloseAnsweredBit) == 0) {
            askCloseQuestion();
            record_.statusWord->fetch_or(kPluginCloseAnsweredBit);
        }
    }
    // Yes (the scripted prompt's first button) keeps the servo on.
    void askCloseQuestion()
    {
        if (record_.statusWord->load() & kPluginServoOnBit)
            platform::userPrompt().messageBox(kCloseQuestion, "Close", platform::PromptButtons::YesNo,
                                              platform::PromptIcon::Question);
    }

    PluginLinkRecord record_;
    QTimer cycle_;
    int documents_ = 0;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) PluginDocTemplate* CreateDLLDocTemplate(PluginLinkRecord* record)
{
    return new StandInTemplate(*record);
}
#elif defined(TEST_PLUGIN_NULL)
extern "C" __attribute__((visibility("default"))) PluginDocTemplate* CreateDLLDocTemplate(PluginLinkRecord*)
{
    return nullptr;
}
#else
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
#endif
