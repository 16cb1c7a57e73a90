#pragma once
// The 32 rows the model-selection dialog offers, and what choosing one sets:
// rows 0-27 are Vr groups 8-35, row 28 Qm_001, rows 29-31 the Zt models.

#include "tables/DriveType.h"

#include <string>

constexpr int kModelSelectionRowCount = 32;
constexpr int kPreselectedModelRow = 3;  // "Vr_007"
constexpr int kNoModelRowChosen = -1;

// Family and group a row stands for; false for a row outside the list.
bool ModelOfSelectionRow(int row, int& family, int& group);
std::string ModelSelectionRowName(int row);
// The row showing a model, or kNoModelRowChosen when the list lacks it.
int SelectionRowOfModel(int family, int group);
// Applies a confirmed choice to the drive type. No row chosen (or a row
// outside the list) sets drive class 0 and keeps family and groups.
void ApplyModelSelection(DriveType& type, int row);
