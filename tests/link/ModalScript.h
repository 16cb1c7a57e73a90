#pragma once
// Answers a test's modal dialogs headless, in the order they come up.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <vector>

// Answers modal dialogs in order: each step waits (polling, bounded) for one of its type and closes it.
class ModalScript {
public:
    ModalScript() { poll(300); }
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
    bool finished() const { return done_ == steps_.size(); }

private:
    void poll(int triesLeft)
    {
        QTimer::singleShot(5, &context_, [this, triesLeft] {
            if (!finished() && steps_[done_](QApplication::activeModalWidget())) {
                ++done_;
                poll(300);
            } else if (!finished() && triesLeft > 0) {
                poll(triesLeft - 1);
            }
        });
    }
    std::vector<std::function<bool(QWidget*)>> steps_;
    size_t done_ = 0;
    QObject context_;  // stops the timers when the script goes
};
