#include "app/ViewRegistry.h"

#include "app/CQDDToolsDoc.h"

#include <QLabel>
#include <QVBoxLayout>
#include <map>

namespace {

std::map<ViewClass, ViewRegistry::Factory>& factories()
{
    static std::map<ViewClass, ViewRegistry::Factory> table;
    return table;
}

const char* viewName(ViewClass c)
{
    switch (c) {
    case ViewClass::ToolBox: return "Toolbox";
    case ViewClass::ParameterSetting: return "Parameter Setting";
    case ViewClass::IoMonitor: return "I/O Monitor";
    case ViewClass::AlarmList: return "Alarm List Table";
    case ViewClass::Estimate: return "Estimate View";
    case ViewClass::PositionDiagram: return "Block Diagram (position)";
    case ViewClass::VelocityDiagram: return "Block Diagram (velocity)";
    case ViewClass::TorqueDiagram: return "Block Diagram (torque)";
    case ViewClass::Scope: return "Wave Gdi View";
    }
    return "";
}

// Stands in for a view whose window is not built yet.
QWidget* namedView(ViewClass c, QWidget* parent)
{
    auto* view = new QWidget(parent);
    view->setObjectName("NamedView");
    auto* layout = new QVBoxLayout(view);
    auto* label = new QLabel(QString::fromUtf8(viewName(c)), view);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    return view;
}

}  // namespace

void ViewRegistry::setFactory(ViewClass viewClass, Factory factory)
{
    factories()[viewClass] = std::move(factory);
}

QWidget* ViewRegistry::create(ViewClass viewClass, CQDDToolsDoc* doc, QWidget* parent)
{
    const auto found = factories().find(viewClass);
    if (found != factories().end() && found->second)
        return found->second(doc, parent);
    return namedView(viewClass, parent);
}
