#pragma once
// The plug-in's frame inside the host's child window: it holds the document
// and the point-table view, and asks the close question before it closes.

#include <QWidget>

class CDLLDoc;
class CDLLView;
class CWaypadApp;

class CDLLChildFrame : public QWidget {
    Q_OBJECT
public:
    CDLLChildFrame(CWaypadApp& app, QWidget* parent = nullptr);

    CDLLView* view() const { return view_; }
    CDLLDoc* document() const { return doc_; }
    // Asked by the host before its window closes; always lets it close.
    bool queryClose();

    // "Would you like to keep Servo ON status after close window?" when the
    // servo is on; the answer goes to the worker.
    static void askCloseQuestion(CWaypadApp& app);

private:
    CWaypadApp& app_;
    CDLLDoc* doc_;
    CDLLView* view_;
};
