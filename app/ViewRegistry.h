#pragma once
// Makes the view of each window kind. Subsystems register their views here;
// a kind without one gets a plain view that names the window.

#include <functional>

class QWidget;
class CQDDToolsDoc;

enum class ViewClass {
    ToolBox, ParameterSetting, IoMonitor, AlarmList, Estimate,
    PositionDiagram, VelocityDiagram, TorqueDiagram, Scope
};

class ViewRegistry {
public:
    using Factory = std::function<QWidget*(CQDDToolsDoc* doc, QWidget* parent)>;
    static void setFactory(ViewClass viewClass, Factory factory);
    static QWidget* create(ViewClass viewClass, CQDDToolsDoc* doc, QWidget* parent);
};
