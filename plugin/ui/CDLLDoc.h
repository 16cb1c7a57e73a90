#pragma once
// The plug-in's document: it holds one 32-bit value and nothing else; the
// view keeps the drive's data.

#include <QObject>
#include <cstdint>

class CDLLDoc : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    int32_t value() const { return value_; }
    void setValue(int32_t value) { value_ = value; }

private:
    int32_t value_ = 0;
};
