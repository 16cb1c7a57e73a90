#include "monitor/IoMonitorPoller.h"

#include "comm/CModbus.h"
#include "monitor/IoPins.h"
#include "monitor/ModbusExchange.h"
#include "tables/ControlModeTable.h"

IoMonitorPoller::IoMonitorPoller(CModbus& modbus, int intervalMs)
    : modbus_(modbus), intervalMs_(intervalMs < kMinimumIntervalMs ? kMinimumIntervalMs : intervalMs)
{
}

int IoMonitorPoller::step()
{
    switch (next_) {
    case Step::Mode: {
        unsigned short mode = 0;
        if (!RunModbusExchange(modbus_, [&](CModbus& m) { return m.ReadHoldingRegisters(kControlModeRegister, 1, &mode); })) {
            readout_.answering = false;
            return kSlowPollMs;
        }
        readout_.answering = true;
        readout_.modeText = ControlModeName(mode);
        readout_.modeValue = mode;
        next_ = Step::Sums;
        return 0;
    }
    case Step::Sums: {
        unsigned short sums[4] = {};
        if (RunModbusExchange(modbus_, [&](CModbus& m) { return m.ReadHoldingRegisters(kCommandSumRegister, 4, sums); })) {
            readout_.sumsKnown = true;
            readout_.commandSum = PulseSum(sums[0], sums[1]);
            readout_.feedbackSum = PulseSum(sums[2], sums[3]);
        }
        next_ = Step::Inputs;
        return 0;
    }
    case Step::Inputs: {
        unsigned char bits[2] = {};
        next_ = Step::Mode;
        if (!RunModbusExchange(modbus_, [&](CModbus& m) { return m.ReadCoils(kFirstInputCoil, kInputCoilCount, bits); }))
            return intervalMs_;  // the pins keep their last texts
        readout_.inputsKnown = true;
        readout_.inputBits = static_cast<uint16_t>(bits[0] | bits[1] << 8);
        readout_.inputText = PinListText(kInputPins, readout_.inputBits);
        next_ = Step::Outputs;
        return 0;
    }
    case Step::Outputs: {
        unsigned char bits = 0;
        if (RunModbusExchange(modbus_, [&](CModbus& m) { return m.ReadCoils(kFirstOutputCoil, kOutputCoilCount, &bits); })) {
            readout_.outputsKnown = true;
            readout_.outputBits = bits;
            readout_.outputText = PinListText(kOutputPins, bits);
        }
        next_ = Step::Mode;
        return intervalMs_;
    }
    }
    return intervalMs_;
}

bool IoMonitorPoller::readAll()
{
    next_ = Step::Mode;
    do
        step();
    while (next_ != Step::Mode);
    return readout_.answering;
}

bool IoMonitorPoller::zero(uint16_t reg, int32_t& shown)
{
    unsigned short value = 0;
    if (!RunModbusExchange(modbus_, [&](CModbus& m) { return m.WriteMultipleRegisters(reg, 1, &value); }))
        return false;
    shown = 0;
    return true;
}

bool IoMonitorPoller::zeroCommandSum() { return zero(kCommandSumRegister, readout_.commandSum); }
bool IoMonitorPoller::zeroFeedbackSum() { return zero(kFeedbackSumRegister, readout_.feedbackSum); }
