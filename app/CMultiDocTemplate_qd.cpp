#include "app/CMultiDocTemplate_qd.h"

#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQDDToolsDoc.h"
#include "app/WindowCatalogue.h"
#include "texts/LoadText.h"
#include "platform/UserPrompt.h"

CMultiDocTemplate_qd::CMultiDocTemplate_qd(CMainFrame* mainFrame, const std::string& key,
                                           ViewClass viewClass)
    : mainFrame_(mainFrame), key_(key), viewClass_(viewClass)
{
}

CChildFrame* CMultiDocTemplate_qd::openNewDocument()
{
    const std::string defaultTitle = key_ + std::to_string(untitledCount_ + 1);
    const DocumentAdmission admission = OpenWindows().admit(defaultTitle);
    if (admission.result == DocumentAdmission::NumberOverflow) {
        platform::userPrompt().messageBox(LoadText(469), "Error");
        return nullptr;
    }
    if (admission.result == DocumentAdmission::AlreadyOpen) {
        platform::userPrompt().messageBox(LoadText(468), "Warning");
        return nullptr;
    }
    ++untitledCount_;
    auto* doc = new CQDDToolsDoc(mainFrame_, admission.title);
    auto* frame = new CChildFrame(doc, viewClass_ == ViewClass::Scope);
    frame->setView(ViewRegistry::create(viewClass_, doc, frame));
    mainFrame_->addChildFrame(frame, viewClass_ == ViewClass::ToolBox);
    return frame;
}
