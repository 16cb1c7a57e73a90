#pragma once
// Answers the modal dialogs of a headless test in order: each step waits
// (bounded) for a modal dialog of its type and acts on it, closing it.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <vector>

namespace paramtest {

class ModalScript {
public:
    template <typename T>
    ModalScript& then(std::function<void(T*)> action)
    {
        steps_.push_back([action](QWidget* widget) {
            auto* dialog = qobject_cast<T*>(widget);
            if (dialog)
                action(dialog);
            return dialog != nullptr;
        });
        return *this;
    }
    void start() { poll(300); }
    int done() const { return done_; }

private:
    // Polls every 5 ms; the context stops the timers when the script goes.
    void poll(int triesLeft)
    {
        QTimer::singleShot(5, &context_, [this, triesLeft] {
            if (done_ < static_cast<int>(steps_.size()) && steps_[done_](QApplication::activeModalWidget()))
                ++done_, poll(300);
            else if (triesLeft > 0 && done_ < static_cast<int>(steps_.size()))
                poll(triesLeft - 1);
        });
    }
    std::vector<std::function<bool(QWidget*)>> steps_;
    int done_ = 0;
    QObject context_;
};

}  // namespace paramtest
