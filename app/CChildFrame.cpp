#include "app/CChildFrame.h"

#include "app/CQDDToolsDoc.h"
#include "app/DriveLinkBridge.h"
#include "app/PluginDocTemplate.h"
#include "platform/UserPrompt.h"

#include <QCloseEvent>

void StopScopeBeforeClosing()
{
    auto& bridge = LinkBridge();
    if (bridge.stopScopeAcquisition && bridge.stopScopeAcquisition())
        platform::userPrompt().messageBox("Scope process is stopping!", "Warning");
}

CChildFrame::CChildFrame(CQDDToolsDoc* doc, bool showsScope, QWidget* parent)
    : QMdiSubWindow(parent), doc_(doc), showsScope_(showsScope)
{
    setAttribute(Qt::WA_DeleteOnClose);
    resize(kDefaultWidth, kDefaultHeight);
    if (doc_) {
        doc_->setParent(this);
        setWindowTitle(QString::fromStdString(doc_->title()));
    }
}

CChildFrame::~CChildFrame()
{
    // The view goes first: it may still talk to its document while it dies.
    delete widget();
}

void CChildFrame::setView(QWidget* view)
{
    setWidget(view);
}

bool CChildFrame::closeAnsweredPlugin()
{
    pluginAnswered_ = true;
    const bool closed = close();
    pluginAnswered_ = false;  // still open: a later close asks again
    return closed;
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    if (pluginTemplate_ && !pluginAnswered_ && !pluginTemplate_->queryClose(widget())) {
        event->ignore();
        return;
    }
    if (showsScope_)
        StopScopeBeforeClosing();
    QMdiSubWindow::closeEvent(event);
}
