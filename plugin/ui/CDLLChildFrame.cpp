#include "plugin/ui/CDLLChildFrame.h"

#include "plugin/CWaypadApp.h"
#include "plugin/ui/CDLLDoc.h"
#include "plugin/ui/CDLLView.h"
#include "platform/UserPrompt.h"

#include <QVBoxLayout>

CDLLChildFrame::CDLLChildFrame(CWaypadApp& app, QWidget* parent)
    : QWidget(parent), app_(app), doc_(new CDLLDoc(this)), view_(new CDLLView(app, this))
{
    setObjectName("waystationFrame");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
}

void CDLLChildFrame::askCloseQuestion(CWaypadApp& app)
{
    if (!app.closeQuestionDue())
        return;
    const int answer = platform::userPrompt().messageBox(
        "Would you like to keep Servo ON status after close window?", "Close", platform::PromptButtons::YesNo,
        platform::PromptIcon::Question);
    app.answerCloseQuestion(answer == platform::PromptYes);
}

bool CDLLChildFrame::queryClose()
{
    askCloseQuestion(app_);
    return true;
}
