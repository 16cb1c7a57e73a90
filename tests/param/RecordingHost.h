#pragma once
// A page host for tests: records what the page shows and answers the value
// question from a queue.

#include "param/PageHost.h"

#include <deque>
#include <string>
#include <vector>

namespace paramtest {

class RecordingHost : public PageHost {
public:
    std::vector<std::string> statuses;
    std::string description;
    bool descriptionRed = false;
    int progress = 0;
    int valueChanges = 0;
    int commandWaits = 0;
    std::deque<int32_t> answers;  // values the user types; empty: Cancel

    void setProgress(int position) override { progress = position; }
    void setStatus(const std::string& text) override { statuses.push_back(text); }
    void setDescription(const std::string& text, bool red) override
    {
        description = text;
        descriptionRed = red;
    }
    void valueChanged(int) override { ++valueChanges; }
    bool runCommandWait() override
    {
        ++commandWaits;
        return PageHost::runCommandWait();
    }
    bool askValue(int, const std::string&, int32_t, int32_t& newValue) override
    {
        if (answers.empty())
            return false;
        newValue = answers.front();
        answers.pop_front();
        return true;
    }
    std::string lastStatus() const { return statuses.empty() ? std::string() : statuses.back(); }
};

}  // namespace paramtest
