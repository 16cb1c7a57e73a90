#pragma once
// The alarm history as a CSV file: one line per record with its position,
// code and text, under a header line.

#include "monitor/AlarmReader.h"

#include <string>

std::string AlarmHistoryCsv(const AlarmReadout& readout);
// Written to a temporary name and renamed into place; false on failure
// (an existing file is then untouched).
bool SaveAlarmHistoryCsv(const std::string& path, const AlarmReadout& readout);
