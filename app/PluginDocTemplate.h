#pragma once
// What the plug-in hands back from its entry point: a template that makes the
// view of its one document type. The host wraps each view in a child frame
// and deletes the template at exit.

#include <string>

class QWidget;

class PluginDocTemplate {
public:
    virtual ~PluginDocTemplate() = default;
    // Title of a new document ("Waystation1").
    virtual std::string documentTitle() = 0;
    // A new view of a new document, parented to the host's frame.
    virtual QWidget* createView(QWidget* parent) = 0;
    // Asked before the frame closes; false keeps it open.
    virtual bool queryClose(QWidget* view) { (void)view; return true; }
};
