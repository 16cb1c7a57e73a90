#pragma once
// The template the plug-in hands to the host: it names each new document
// ("Waystation1", ...), makes its frame and view, asks the close question
// before a frame closes, and ends the plug-in's worker when the host
// deletes it.

#include "app/PluginDocTemplate.h"

class CWaypadApp;

class CWaypadMDT : public PluginDocTemplate {
public:
    explicit CWaypadMDT(CWaypadApp& app);
    ~CWaypadMDT() override;

    std::string documentTitle() override;
    QWidget* createView(QWidget* parent) override;
    bool queryClose(QWidget* view) override;

private:
    CWaypadApp& app_;
    int untitledCount_ = 0;
};
