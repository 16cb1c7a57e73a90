#pragma once
// Answers modal dialogs of a headless test: each step waits (bounded) for
// the next modal dialog of its type and acts on it, in the order queued.

#include <QApplication>
#include <QTimer>

#include <functional>
#include <vector>

namespace paramtest {

// Runs `action` on the next modal dialog of type T once it is up.
template <typename T>
void OnNextModal(std::function<void(T*)> action, int triesLeft = 300)
{
    QTimer::singleShot(5, [action, triesLeft] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            action(dialog);
            return;
        }
        if (triesLeft > 0)
            OnNextModal<T>(action, triesLeft - 1);
    });
}

// Chains steps: each is armed when the one before has acted.
class ModalScript {
public:
    template <typename T>
    ModalScript& then(std::function<void(T*)> action)
    {
        steps_.push_back([this, action] {
            OnNextModal<T>([this, action](T* dialog) {
                ++done_;
                action(dialog);  // closes it: the next step cannot see it again
                armNext();
            });
        });
        return *this;
    }
    void start() { armNext(); }
    int done() const { return done_; }

private:
    void armNext()
    {
        if (next_ < steps_.size())
            steps_[next_++]();
    }
    std::vector<std::function<void()>> steps_;
    size_t next_ = 0;
    int done_ = 0;
};

}  // namespace paramtest
