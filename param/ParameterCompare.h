#pragma once
// Comparing parameter sets side by side: up to three columns of values
// (on line: drive, file, factory; off line: two files and factory), any two
// of them compared over the page's parameters, with a filter that keeps
// only the rows that differ, and the copy of one column's values into the
// page.

#include "param/ParameterNumbers.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class PageHost;
class ParameterPage;

constexpr int kCompareColumns = 3;

struct CompareRow {
    int parameter = 0;
    std::optional<int32_t> left;   // empty when that column has no values yet
    std::optional<int32_t> right;
    bool differs = false;          // both known and unequal
};

class ParameterCompare {
public:
    // Compares the parameters of `shown` (the page's rows).
    explicit ParameterCompare(const ParameterSet& shown);

    void setColumn(int column, const ParameterValues& values, const std::string& origin);
    void clearColumn(int column);
    bool hasColumn(int column) const;
    // Where a column's values came from ("drive", a file path).
    const std::string& origin(int column) const;
    std::optional<int32_t> value(int column, int parameter) const;

    // The two columns compared (different, 0 to 2).
    void choose(int left, int right);
    int left() const { return left_; }
    int right() const { return right_; }
    void setOnlyDifferences(bool only) { onlyDifferences_ = only; }
    bool onlyDifferences() const { return onlyDifferences_; }

    std::vector<CompareRow> rows() const;
    int differenceCount() const;

private:
    ParameterSet shown_;
    std::array<std::optional<ParameterValues>, kCompareColumns> columns_;
    std::array<std::string, kCompareColumns> origins_;
    int left_ = 0;
    int right_ = 1;
    bool onlyDifferences_ = false;
};

// Values for a column. Each returns false after telling the user why.
bool ReadCompareValuesFromDrive(ParameterValues& values);
bool ReadCompareValuesFromFile(const ParameterPage& page, const std::string& path, ParameterValues& values);
bool ReadFactoryValues(const ParameterPage& page, ParameterValues& values);

// Copies a column's values of the given parameters into the page's value
// cells (the drive is not written: Transfer sends the page). Returns how
// many cells changed.
int CopyCompareColumnIntoPage(const ParameterCompare& compare, int column, const std::vector<int>& parameters,
                              ParameterPage& page, PageHost& host);
