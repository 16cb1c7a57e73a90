#include "plugin/ui/CWaypadMDT.h"

#include "plugin/CWaypadApp.h"
#include "plugin/WaypadTexts.h"
#include "plugin/ui/CDLLChildFrame.h"

#include <QString>
#include <QStringList>

CWaypadMDT::CWaypadMDT(CWaypadApp& app) : app_(app) {}

CWaypadMDT::~CWaypadMDT()
{
    app_.release();
}

std::string CWaypadMDT::documentTitle()
{
    // The document-type string: window title, document name, ... by "\n".
    const QStringList fields = QString::fromStdString(app_.text(waypad::kDocumentTypeText)).split('\n');
    const QString name = fields.value(1).isEmpty() ? QStringLiteral("Waystation") : fields.value(1);
    return (name + QString::number(++untitledCount_)).toStdString();
}

QWidget* CWaypadMDT::createView(QWidget* parent)
{
    return new CDLLChildFrame(app_, parent);
}

bool CWaypadMDT::queryClose(QWidget* view)
{
    auto* frame = qobject_cast<CDLLChildFrame*>(view);
    return frame ? frame->queryClose() : true;
}
