#pragma once
#include <string>
#include <vector>

#include "input/StringPickerSheet.h"

// The strings a column of the picker offers now (the second column: those of the selected
// first row).
class StringPickerSheetTestAPI {
public:
    static std::vector<std::string> rowsOfColumn(const StringPickerSheet& picker, int column) { return picker.rowsOfColumn(column); }
};
